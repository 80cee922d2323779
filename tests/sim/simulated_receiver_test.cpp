// The simulated receiver as a device: its bus, its replies, its memory and its faults.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "sim/boot_loader.hpp"
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
    Bytes command(std::uint8_t code, std::initializer_list<std::uint8_t> payload = {}) {
        Bytes f = frame({0x01, 0x00, 0x00, 0x08, code, 0x00, 0x00, 0x00});
        std::copy(payload.begin(), payload.end(), f.begin() + 8);
        return exchange(*device, f);
    }
    std::unique_ptr<HidDevice> open(std::uint16_t pid = kProductIdNormal) {
        auto found = receiver.transport().enumerate(kVendorId, pid);
        return found.empty() ? nullptr : receiver.transport().open(found[0]);
    }

    FakeClock clock;
    sim::SimulatedReceiver receiver{clock};
    std::unique_ptr<HidDevice> device = open();
    Bytes getVersion = frame({0x01, 0x00, 0x00, 0x08, 0x02});
};

// Stale handles and unplug-then-replug are the link's tests; here, what only the bus refuses.
TEST_F(Receiver, refusesReportsOfTheWrongLengthOrIdAndOutlivedHandlesFailWithoutACrash) {
    EXPECT_EQ(device->featureReportLength(), 512u);
    EXPECT_FALSE(device->setFeature(frame({0x01}, 64)));
    EXPECT_FALSE(device->setFeature(frame({0x02, 0x00, 0x00, 0x08, 0x02})));  // wrong report ID
    EXPECT_EQ(device->lastError(), platformText(std::errc::invalid_argument));
    EXPECT_EQ(receiver.exchangeCount(), 0u);
    EXPECT_EQ(exchange(*open(), getVersion)[3], kStatusAck);  // any number of handles at once

    std::unique_ptr<HidDevice> orphan;
    {
        sim::SimulatedReceiver gone(clock);
        orphan = gone.transport().open(gone.transport().enumerate(kVendorId, kProductIdNormal)[0]);
    }
    EXPECT_FALSE(orphan->setFeature(getVersion));
    EXPECT_FALSE(orphan->getFeature(getVersion));
}

// The Get Version reply is read by the start-up search; here, the header's every field.
TEST_F(Receiver, theFirmwareHeaderHasEachFieldAtItsOffset) {
    const VersionArea x = sim::makeVersionHeader({.productId = kProductIdAlternate,
                                                  .firmwareName = "Receiver X",
                                                  .versionMajor = 4,
                                                  .versionMinor = 5,
                                                  .versionThird = 6,
                                                  .date = {23, 12, 31},
                                                  .time = {23, 59},
                                                  .headerCrc16 = 0xBEEF,
                                                  .flashSize = 0x40000});
    EXPECT_EQ(Bytes(x.begin(), x.begin() + 2), (Bytes{0xEF, 0xBE}));
    EXPECT_EQ(std::string(x.begin() + 2, x.begin() + 15), std::string("DER32UVE2_UF\0", 13));
    EXPECT_EQ(std::string(x.begin() + 18, x.begin() + 29), std::string("Receiver X\0", 11));
    EXPECT_EQ(Bytes(x.begin() + 50, x.begin() + 58), (Bytes{4, 5, 6, 23, 12, 31, 23, 59}));
    EXPECT_EQ(Bytes(x.begin() + 60, x.begin() + 68),
              (Bytes{0x00, 0x00, 0x04, 0x00, 0x00, 0x04, 0x00, 0x00}));
    EXPECT_EQ(Bytes(x.begin() + 76, x.end()), (Bytes{0xF7, 0x07, 0x19, 0x00}));
}

// The capture session reads these replies, growing and cut short; here, their layout.
TEST_F(Receiver, getCaptureRepliesCarryTheCountAndThePeriods) {
    ASSERT_EQ(command(0x22, {1})[3], kStatusAck);
    const std::vector<std::uint16_t> periods(34, 0x0230);
    receiver.capture().load(periods, periods, 0);
    EXPECT_EQ(command(0x28)[9], 34);
    const Bytes lows = command(0x23);
    EXPECT_EQ(Bytes(lows.begin(), lows.begin() + 12),
              (Bytes{0x01, 0x00, 0x00, 0x06, 0x23, 0x00, 68, 0x00, 0x00, 34, 0x30, 0x02}));
}

TEST_F(Receiver, refusesMalformedCommandsAndInjectedNaksLeavingItsStateUntouched) {
    for (const Bytes& refused :
         {frame({0x01, 0x00, 0x00, 0x08, 0x26, 0x00, 0x00, 0x00, 128}),  // length field 0
          frame({0x01, 0x00, 0x00, 0x08, 0x26, 0x00, 0x20, 0x00, 128}),  // slot 128
          frame({0x01, 0x00, 0x00, 0x08, 0x27, 0x00, 0x62, 0x00, 10}),   // macro 10
          frame({0x01, 0x00, 0x00, 0x08, 0x22, 0x00, 0x00, 0x00, 2}),    // capture mode 2
          frame({0x01, 0x00, 0x00, 0x08, 0x7E, 0x00, 0x00, 0x00})})      // no such command
        EXPECT_EQ(exchange(*device, refused)[3], kStatusNak);
    EXPECT_EQ(receiver.table(), sim::DeviceTable{});

    receiver.faults().nakCode = 0x22;
    EXPECT_EQ(command(0x22, {1})[3], kStatusNak);
    EXPECT_FALSE(receiver.captureMode());

    // A frame of the updater's protocol is not the normal firmware's to answer.
    EXPECT_EQ(exchange(*device, frame({0x01, 0x01, 0x00, 0x01, 0x01})), frame({0x01, 0, 0, 0x01}));
}

TEST_F(Receiver, powerCycleKeepsTheSavedTableAndTheStateFileKeepsItBetweenRuns) {
    Bytes rc = frame({0x01, 0x00, 0x00, 0x08, 0x26, 0x00, 0x20, 0x00, 5, 0xAB});
    exchange(*device, rc);
    command(0x29);
    rc[9] = 0xCD;
    exchange(*device, rc);
    EXPECT_EQ(receiver.table().returnCode(5).codeBytes[0], 0xCD);
    receiver.unplug();
    receiver.plug();
    EXPECT_EQ(receiver.table().returnCode(5).codeBytes[0], 0xAB);

    TempDir dir;
    const auto path = dir / "receiver.state";
    {
        sim::SimulatedReceiver first(clock, {.stateFile = path});
        first.table().macros[3][0] = 0x2C;
        first.table().irCode[0] = 1;
        first.saveTable();
        EXPECT_TRUE(first.stateFileError().empty());
    }
    sim::SimulatedReceiver second(clock, {.stateFile = path});
    EXPECT_EQ(second.table().macro(3).interval, 0x2C);
    EXPECT_EQ(second.savedTable().timing().format, 1);

    std::ofstream(path, std::ios::trunc) << "not a state file";
    sim::SimulatedReceiver third(clock, {.stateFile = path});
    EXPECT_EQ(third.table(), sim::DeviceTable{});
}

TEST_F(Receiver, faultsOfTheReceiverAndItsFirmwareAreParsedByNameAndCountFromWhenTheyAreSet) {
    const auto bootLoader = sim::BootLoader::attach(receiver);  // its faults join the receiver's
    std::string error;
    for (const char* good : {"nak=0x26", "busy=3", "unplug-after=12", "get-fail=0x10", "absent",
                             "wrong-echo", "oversize", "erase-nak=2", "corrupt-block=0x10"}) {
        EXPECT_TRUE(receiver.applyFault(good, error)) << good << ": " << error;
    }
    const sim::Faults& f = receiver.faults();
    EXPECT_EQ(f.nakCode, 0x26);
    EXPECT_EQ(f.busyReads, 3u);
    EXPECT_EQ(f.unplugAfter, 12u);
    EXPECT_EQ(f.getFailures, 16u);
    EXPECT_TRUE(f.absent);
    EXPECT_EQ(f.wrongEcho, sim::kEveryTime);
    EXPECT_EQ(f.oversizedLength, 0xFFFE);
    EXPECT_EQ(bootLoader->faults().eraseNaks, 2u);
    EXPECT_EQ(bootLoader->faults().corruptBlock, 16u);
    const std::pair<const char*, const char*> refused[] = {
        {"melt", "unknown fault \"melt\""},
        {"erase-nak", "fault \"erase-nak\" needs a value"},
        {"write-nak=x", "fault \"write-nak\": bad value \"x\""},
        {"never-ready=1", "fault \"never-ready\" takes no value"},
        {"busy=", ""},
        {"nak=0x10000", ""},
        {"oversize=70000", ""},
        {"unplug-after=-1", ""},
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
