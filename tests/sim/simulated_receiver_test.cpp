// The simulated receiver as a device: its bus, its replies, its memory and its faults.

#include <gtest/gtest.h>

#include <fstream>

#include "sim/boot_loader.hpp"
#include "sim/capture_buffer.hpp"
#include "sim/remotes.hpp"
#include "support/device_fixture.hpp"
#include "support/temp_dir.hpp"

namespace tessik::test {
namespace {

// Raw exchanges on a handle of its own, as the capture and the updater drive the device.
struct Receiver : ::testing::Test {
    Bytes exchange(HidDevice& device, Bytes request) {
        request.resize(device.featureReportLength());
        EXPECT_TRUE(device.setFeature(request));
        Bytes reply(device.featureReportLength(), 0x01);
        EXPECT_TRUE(device.getFeature(reply));
        return reply;
    }
    Bytes command(std::uint8_t code) {
        return exchange(*device, frame({0x01, 0x00, 0x00, 0x08, code}));
    }
    std::unique_ptr<HidDevice> open() {
        return receiver.transport().open(
            receiver.transport().enumerate(kVendorId, kProductIdNormal)[0]);
    }

    FakeClock clock;
    sim::SimulatedReceiver receiver{clock};
    std::unique_ptr<HidDevice> device = open();
    Bytes getVersion = frame({0x01, 0x00, 0x00, 0x08, 0x02});
};

// Stale handles and unplug-then-replug are the link's tests; here, what only the bus refuses.
TEST_F(Receiver, refusesReportsOfTheWrongLengthOrIdAndServesAnyNumberOfHandles) {
    EXPECT_EQ(device->featureReportLength(), 512u);
    EXPECT_FALSE(device->setFeature(frame({0x01}, 64)));
    EXPECT_FALSE(device->setFeature(frame({0x02, 0x00, 0x00, 0x08, 0x02})));  // wrong report ID
    EXPECT_EQ(device->lastError(), platformText(std::errc::invalid_argument));
    EXPECT_EQ(exchange(*open(), getVersion)[3], kStatusAck);  // any number of handles at once
}

// The capture session reads these replies, growing and cut short; here, their layout.
TEST_F(Receiver, getCaptureRepliesCarryTheCountAndThePeriods) {
    ASSERT_EQ(exchange(*device, frame({0x01, 0x00, 0x00, 0x08, 0x22, 0, 0, 0, 1}))[3], kStatusAck);
    const std::vector<std::uint16_t> periods(34, 0x0230);
    receiver.capture().load(periods, periods);
    EXPECT_EQ(command(0x28)[9], 34);
    const Bytes lows = command(0x23);
    EXPECT_EQ(Bytes(lows.begin(), lows.begin() + 12),
              (Bytes{0x01, 0x00, 0x00, 0x06, 0x23, 0x00, 68, 0x00, 0x00, 34, 0x30, 0x02}));
}

// The memory fills as the light arrives: an entry once its pause has ended, the last one of a
// press when the counter runs out. Entering capture mode drops what has ended, not the entry
// being measured; one reply's worth is kept, no more.
TEST(CaptureMemory, recordsEachEntryAsItEndsAndHoldsOneReplysWorth) {
    const sim::IrSignal power = *sim::necTvRemote().signal("Power");
    sim::CaptureBuffer memory;
    memory.record(power, 1000);
    // The leader (9 + 4.5 ms) ends 13.5 ms in; the frame 68 ms in; the silence 65.5 ms later.
    std::vector<std::size_t> counts;
    for (const std::uint32_t t : {1013, 1014, 1133, 1134})
        counts.push_back(memory.count(t));
    EXPECT_EQ(counts, (std::vector<std::size_t>{0, 1, 33, 34}));
    memory.record(power, 1200);
    memory.clear(1205);  // in the middle of the second press's leader
    EXPECT_EQ(memory.count(1205), 0u);
    // A repeat code 40 ms after the frame: the frame's last pause is that gap, not a silence.
    memory.record(sim::necRepeatSignal(), 1308);
    EXPECT_EQ(memory.count(2000), 36u);
    EXPECT_EQ(memory.low(2000)[0], 9000);
    EXPECT_EQ(memory.high(2000)[33] / 1000, 40);
    for (std::uint32_t t = 3000; t < 4000; t += 100)
        memory.record(power, t);
    EXPECT_EQ(memory.count(5000), sim::kCaptureMemoryEntries);
}

TEST_F(Receiver, refusesMalformedCommandsLeavingItsStateUntouched) {
    for (const Bytes& refused :
         {frame({0x01, 0x00, 0x00, 0x08, 0x26, 0x00, 0x20, 0x00, 128}),  // slot 128
          frame({0x01, 0x00, 0x00, 0x08, 0x27, 0x00, 0x62, 0x00, 10}),   // macro 10
          frame({0x01, 0x00, 0x00, 0x08, 0x22, 0x00, 0x00, 0x00, 2}),    // capture mode 2
          frame({0x01, 0x00, 0x00, 0x08, 0x7E, 0x00, 0x00, 0x00})})      // no such command
        EXPECT_EQ(exchange(*device, refused)[3], kStatusNak);
    EXPECT_EQ(receiver.table(), sim::DeviceTable{});

    // A frame of the updater's protocol is not the normal firmware's to answer.
    EXPECT_EQ(exchange(*device, frame({0x01, 0x01, 0x00, 0x01, 0x01})), frame({0x01, 0, 0, 0x01}));
}

// That a power cycle keeps the saved table is the reception test's; here, the state file.
TEST_F(Receiver, theStateFileKeepsTheSavedTableBetweenRunsAndAnUnreadableOneIsIgnored) {
    TempDir dir;
    const auto path = dir / "receiver.state";
    {
        sim::SimulatedReceiver first(clock, {.stateFile = path});
        first.table().macros[3][0] = 0x2C;
        EXPECT_TRUE(first.saveTable());
    }
    sim::SimulatedReceiver second(clock, {.stateFile = path});
    EXPECT_EQ(second.table().macro(3).interval, 0x2C);

    std::ofstream(path, std::ios::trunc) << "not a state file";
    sim::SimulatedReceiver third(clock, {.stateFile = path});
    EXPECT_EQ(third.table(), sim::DeviceTable{});
}

TEST_F(Receiver, faultsOfTheReceiverAndItsFirmwareAreParsedByNameAndCountFromWhenTheyAreSet) {
    const auto bootLoader = sim::BootLoader::attach(receiver);  // its faults join the receiver's
    std::string error;
    for (const char* good :
         {"unplug-after=12", "get-fail=0x10", "wrong-echo", "oversize", "corrupt-block=0x10"})
        EXPECT_TRUE(receiver.applyFault(good, error)) << good << ": " << error;
    // What the faults do is the core's tests; here, the values they are read with.
    const sim::Faults& f = receiver.faults();
    EXPECT_EQ(f.unplugAfter, 12u);
    EXPECT_EQ(f.getFailures, 16u);
    EXPECT_EQ(bootLoader->faults().corruptBlock, 16u);
    const std::pair<const char*, const char*> refused[] = {
        {"melt", "unknown fault \"melt\""},
        {"erase-nak", "fault \"erase-nak\" needs a value"},
        {"write-nak=x", "fault \"write-nak\": bad value \"x\""},
        {"never-ready=1", "fault \"never-ready\" takes no value"},
    };
    for (const auto& [setting, text] : refused) {
        error.clear();
        EXPECT_FALSE(receiver.applyFault(setting, error)) << setting;
        EXPECT_EQ(*text == 0 ? "" : error, text);
        EXPECT_FALSE(error.empty()) << setting;
    }

    receiver.faults() = sim::Faults{};
    command(0x02);
    receiver.faults().nakExchange = 2;
    receiver.faults().unplugAfter = 3;
    for (const std::uint8_t status : {kStatusAck, kStatusNak, kStatusAck})
        EXPECT_EQ(command(0x02)[3], status);
    EXPECT_FALSE(device->setFeature(getVersion));
    EXPECT_FALSE(receiver.plugged());
}

}  // namespace
}  // namespace tessik::test
