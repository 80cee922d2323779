// The simulated receiver as a device: its bus, its replies, its memory and its faults.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "sim/device_fixture.hpp"
#include "sim/normal_firmware.hpp"
#include "support/temp_dir.hpp"

namespace tessik::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

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
    std::unique_ptr<HidDevice> open() {
        auto found = receiver.transport().enumerate(kVendorId, kProductIdNormal);
        return found.empty() ? nullptr : receiver.transport().open(found[0]);
    }
    void SetUp() override { device = open(); }

    FakeClock clock;
    sim::SimulatedReceiver receiver{clock};
    std::unique_ptr<HidDevice> device;
};

TEST_F(Receiver, showsItselfOnlyUnderItsOwnIdentity) {
    auto& bus = receiver.transport();
    EXPECT_EQ(bus.enumerate(kVendorId, kProductIdNormal).size(), 1u);
    EXPECT_TRUE(bus.enumerate(kVendorId, kProductIdAlternate).empty());
    EXPECT_TRUE(bus.enumerate(0x1234, kProductIdNormal).empty());
    EXPECT_EQ(device->featureReportLength(), 512u);
    receiver.faults().absent = true;
    EXPECT_TRUE(bus.enumerate(kVendorId, kProductIdNormal).empty());
}

TEST_F(Receiver, canBeOpenedMoreThanOnceAndEveryHandleWorks) {
    auto second = open();
    ASSERT_TRUE(second);
    EXPECT_EQ(exchange(*second, frame({0x01, 0x00, 0x00, 0x08, 0x02}))[3], kStatusAck);
    EXPECT_EQ(command(0x02)[3], kStatusAck);
}

TEST_F(Receiver, handlesFromBeforeAnUnplugStayDeadAfterReplug) {
    receiver.unplug();
    receiver.plug();
    Bytes report = frame({0x01, 0x00, 0x00, 0x08, 0x02});
    EXPECT_FALSE(device->setFeature(report));
    EXPECT_EQ(device->lastError(), std::make_error_code(std::errc::no_such_device).message());
    auto fresh = open();
    EXPECT_TRUE(fresh->setFeature(report));
}

TEST_F(Receiver, handlesOutlivingTheReceiverFailInsteadOfCrashing) {
    std::unique_ptr<HidDevice> orphan;
    {
        sim::SimulatedReceiver gone(clock);
        orphan = gone.transport().open(gone.transport().enumerate(kVendorId, kProductIdNormal)[0]);
    }
    Bytes report = frame({0x01});
    EXPECT_FALSE(orphan->setFeature(report));
    EXPECT_FALSE(orphan->getFeature(report));
}

TEST_F(Receiver, refusesReportsOfTheWrongLengthOrId) {
    Bytes shortReport(64, 0);
    shortReport[0] = 1;
    EXPECT_FALSE(device->setFeature(shortReport));
    Bytes wrongId = frame({0x02, 0x00, 0x00, 0x08, 0x02});
    EXPECT_FALSE(device->setFeature(wrongId));
    EXPECT_EQ(device->lastError(), std::make_error_code(std::errc::invalid_argument).message());
    EXPECT_EQ(receiver.exchangeCount(), 0u);
}

TEST_F(Receiver, getVersionRepliesWithTheFirmwareHeader) {
    const Bytes reply = command(0x02);
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 8),
              (Bytes{0x01, 0x00, 0x00, 0x06, 0x02, 0x00, 0x50, 0x00}));
    const VersionArea& h = receiver.versionHeader();
    EXPECT_TRUE(std::equal(h.begin(), h.end(), reply.begin() + 8));
    EXPECT_TRUE(std::all_of(reply.begin() + 88, reply.end(), [](auto b) { return b == 0; }));
}

TEST(VersionHeader, fieldsSitAtTheirOffsets) {
    sim::ReceiverOptions o;
    o.firmwareName = "Receiver X";
    o.versionMajor = 4;
    o.versionMinor = 5;
    o.versionThird = 6;
    o.date = {23, 12, 31};
    o.time = {23, 59};
    o.productId = kProductIdAlternate;
    o.headerCrc16 = 0xBEEF;
    o.flashSize = 0x40000;
    const VersionArea h = makeVersionHeader(o);
    EXPECT_EQ(h[0], 0xEF);
    EXPECT_EQ(h[1], 0xBE);
    EXPECT_EQ(std::string(h.begin() + 2, h.begin() + 15), std::string("DER32UVE2_UF\0", 13));
    EXPECT_EQ(std::string(h.begin() + 18, h.begin() + 29), std::string("Receiver X\0", 11));
    EXPECT_EQ(Bytes(h.begin() + 50, h.begin() + 58), (Bytes{4, 5, 6, 23, 12, 31, 23, 59}));
    EXPECT_EQ(Bytes(h.begin() + 60, h.begin() + 68),
              (Bytes{0x00, 0x00, 0x04, 0x00, 0x00, 0x04, 0x00, 0x00}));
    EXPECT_EQ(Bytes(h.begin() + 76, h.end()), (Bytes{0xF7, 0x07, 0x19, 0x00}));
}

TEST_F(Receiver, captureCountGrowsOverPollsAndStopsWhenTheSignalIsComplete) {
    std::vector<std::uint16_t> low(34), high(34);
    for (std::size_t i = 0; i < 34; ++i) {
        low[i] = static_cast<std::uint16_t>(560 + i);
        high[i] = static_cast<std::uint16_t>(1690 + i);
    }
    ASSERT_EQ(command(0x22, {1})[3], kStatusAck);
    EXPECT_TRUE(receiver.captureMode());
    receiver.capture().load(low, high);

    std::vector<int> counts;
    for (int poll = 0; poll < 4; ++poll) {
        const Bytes r = command(0x28);
        EXPECT_EQ(r[4], 0x28);
        counts.push_back(r[8] * 256 + r[9]);
    }
    EXPECT_EQ(counts, (std::vector<int>{16, 32, 34, 34}));

    const Bytes lows = command(0x23);
    EXPECT_EQ(Bytes(lows.begin(), lows.begin() + 12),
              (Bytes{0x01, 0x00, 0x00, 0x06, 0x23, 0x00, 68, 0x00, 0x00, 34, 0x30, 0x02}));
    EXPECT_EQ(lows[10 + 2 * 33], 0x51);  // 593 = 0x0251
    EXPECT_EQ(lows[10 + 2 * 34], 0);
    const Bytes highs = command(0x24);
    EXPECT_EQ(highs[4], 0x24);
    EXPECT_EQ(highs[10] | highs[11] << 8, 1690);

    // CaptureMode 1 drops the recording: the next press counts from zero.
    command(0x22, {1});
    EXPECT_EQ(command(0x28)[9], 0);
    command(0x22, {0});
    EXPECT_FALSE(receiver.captureMode());
}

TEST_F(Receiver, aCaptureLongerThanTheReportAnnouncesItAllButSendsWhatFits) {
    std::vector<std::uint16_t> low(300, 0x1111);
    receiver.capture().load(low, low, 0);
    command(0x28);
    const Bytes r = command(0x23);
    EXPECT_EQ(r[6] | r[7] << 8, 600);
    EXPECT_EQ(r[510], 0x11);  // entry 250, the last that fits
    EXPECT_EQ(r[511], 0x11);
}

TEST_F(Receiver, captureFaultsBendTheEchoAndTheLength) {
    std::string error;
    ASSERT_TRUE(receiver.applyFault("wrong-echo=2", error));
    ASSERT_TRUE(receiver.applyFault("oversize", error));
    EXPECT_EQ(command(0x23)[4], 0x28);
    EXPECT_EQ(command(0x23)[4], 0x28);
    const Bytes third = command(0x23);
    EXPECT_EQ(third[4], 0x23);
    EXPECT_EQ(third[6] | third[7] << 8, 0xFFFE);
    EXPECT_EQ(command(0x24)[4], 0x24);  // only the low-period read is bent
}

TEST_F(Receiver, refusesMalformedCommandsWithANak) {
    EXPECT_EQ(command(0x26, {128})[3], kStatusNak);  // length field 0
    Bytes slot128 = frame({0x01, 0x00, 0x00, 0x08, 0x26, 0x00, 0x20, 0x00, 128});
    EXPECT_EQ(exchange(*device, slot128)[3], kStatusNak);
    Bytes macro10 = frame({0x01, 0x00, 0x00, 0x08, 0x27, 0x00, 0x62, 0x00, 10});
    EXPECT_EQ(exchange(*device, macro10)[3], kStatusNak);
    EXPECT_EQ(command(0x22, {2})[3], kStatusNak);
    EXPECT_EQ(command(0x7E)[3], kStatusNak);
    EXPECT_EQ(receiver.table(), sim::DeviceTable{});
}

TEST_F(Receiver, aFrameOfAnotherProtocolIsNotAnswered) {
    Bytes updater = frame({0x01, 0x01, 0x00, 0x01, 0x01});  // updater Identify
    EXPECT_EQ(exchange(*device, updater), frame({0x01, 0x00, 0x00, 0x01}));
}

TEST_F(Receiver, powerCycleKeepsTheSavedTableOnly) {
    Bytes rc = frame({0x01, 0x00, 0x00, 0x08, 0x26, 0x00, 0x20, 0x00, 5, 0xAB});
    exchange(*device, rc);
    command(0x29);
    rc[9] = 0xCD;
    exchange(*device, rc);
    EXPECT_EQ(receiver.table().returnCode(5).codeBytes[0], 0xCD);
    receiver.unplug();
    receiver.plug();
    EXPECT_EQ(receiver.table().returnCode(5).codeBytes[0], 0xAB);
}

TEST(ReceiverState, saveKeepsTheTableInTheStateFileForTheNextRun) {
    TempDir dir;
    FakeClock clock;
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

TEST_F(Receiver, reenumeratesUnderANewIdentityAfterADelayOnTheClock) {
    const sim::Identity updater{kVendorId, kProductIdUpdater, 273};
    receiver.reenumerate(updater, 1500);
    auto& bus = receiver.transport();
    EXPECT_TRUE(bus.enumerate(kVendorId, kProductIdUpdater).empty());
    clock.advance(1499);
    EXPECT_TRUE(bus.enumerate(kVendorId, kProductIdUpdater).empty());
    clock.advance(1);
    const auto found = bus.enumerate(kVendorId, kProductIdUpdater);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(bus.open(found[0])->featureReportLength(), 273u);
    EXPECT_TRUE(bus.enumerate(kVendorId, kProductIdNormal).empty());
    Bytes report = frame({0x01});
    EXPECT_FALSE(device->setFeature(report));  // the old handle went with the old identity
}

TEST_F(Receiver, aDeviceThatNeverComesBackStaysGoneUntilPlugged) {
    receiver.reenumerate({kVendorId, kProductIdUpdater, 273}, std::nullopt);
    clock.advance(120000);
    EXPECT_TRUE(receiver.transport().enumerate(kVendorId, kProductIdUpdater).empty());
    receiver.plug();
    EXPECT_EQ(receiver.transport().enumerate(kVendorId, kProductIdUpdater).size(), 1u);
}

TEST(ReceiverFaults, namesAndValuesAreParsed) {
    FakeClock clock;
    sim::SimulatedReceiver r(clock);
    std::string error;
    EXPECT_TRUE(r.applyFault("nak=0x26", error));
    EXPECT_TRUE(r.applyFault("busy=3", error));
    EXPECT_TRUE(r.applyFault("unplug-after=12", error));
    EXPECT_TRUE(r.applyFault("get-fail=0x10", error));
    EXPECT_TRUE(r.applyFault("absent", error));
    EXPECT_TRUE(r.applyFault("wrong-echo", error));
    EXPECT_TRUE(r.applyFault("oversize=1000", error));
    const sim::Faults& f = r.faults();
    EXPECT_EQ(f.nakCode, 0x26);
    EXPECT_EQ(f.busyReads, 3u);
    EXPECT_EQ(f.unplugAfter, 12u);
    EXPECT_EQ(f.getFailures, 16u);
    EXPECT_TRUE(f.absent);
    EXPECT_EQ(f.wrongEcho, sim::kEveryTime);
    EXPECT_EQ(f.oversizedLength, 1000);

    for (const char* bad : {"busy", "busy=", "busy=x", "nak=0x10000", "absent=1", "oversize=70000",
                            "unplug-after=-1"}) {
        error.clear();
        EXPECT_FALSE(r.applyFault(bad, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
    EXPECT_FALSE(r.applyFault("melt", error));
    EXPECT_EQ(error, "unknown fault \"melt\"");
}

// A personality added in front of the normal firmware, as the updater's frames will be.
class EchoUpdater : public sim::Firmware {
  public:
    explicit EchoUpdater(sim::SimulatedReceiver& r) : r_(r) {}
    sim::Handling onRequest(std::span<const std::uint8_t> request, sim::Reply& reply) override {
        if (request[3] != 0x01) return sim::Handling::NotMine;
        reply.frame[1] = 1;  // ready
        reply.frame[3] = kStatusAck;
        reply.afterDelivered = [this] { r_.reenumerate({kVendorId, kProductIdUpdater, 273}, 10); };
        return sim::Handling::Answered;
    }
    std::vector<sim::FaultInfo> faultCatalogue() const override {
        return {{"slow-erase", "N", "erase takes N ms"}};
    }
    sim::FaultParse applyFault(const sim::FaultSetting& setting, std::string&) override {
        if (setting.name != "slow-erase") return sim::FaultParse::UnknownName;
        applied = true;
        return sim::FaultParse::Applied;
    }
    bool applied = false;

  private:
    sim::SimulatedReceiver& r_;
};

TEST_F(Receiver, addedPersonalitiesAnswerFirstAndBringTheirFaults) {
    auto updater = std::make_shared<EchoUpdater>(receiver);
    receiver.addFirmware(updater);
    std::string error;
    EXPECT_TRUE(receiver.applyFault("slow-erase=5", error));
    EXPECT_TRUE(updater->applied);
    const auto catalogue = receiver.faultCatalogue();
    EXPECT_EQ(catalogue.back().name, "slow-erase");
    EXPECT_EQ(catalogue.size(), sim::builtInFaults().size() + 1);

    EXPECT_EQ(command(0x02)[3], kStatusAck);  // normal frames still reach the normal firmware
    const Bytes reply = exchange(*device, frame({0x01, 0x01, 0x00, 0x01, 0x03}));
    EXPECT_EQ(reply[1], 1);
    // Acknowledged, then gone: back as the boot loader 10 ms later.
    EXPECT_FALSE(receiver.plugged());
    clock.advance(10);
    EXPECT_EQ(receiver.transport().enumerate(kVendorId, kProductIdUpdater).size(), 1u);

    receiver.removeFirmware(updater.get());
    EXPECT_EQ(receiver.faultCatalogue().size(), sim::builtInFaults().size());
}

TEST_F(Receiver, exchangeCountingFaultsCountFromWhenTheyAreSet) {
    command(0x02);
    receiver.faults().nakExchange = 2;
    receiver.faults().unplugAfter = 3;
    EXPECT_EQ(command(0x02)[3], kStatusAck);
    EXPECT_EQ(command(0x02)[3], kStatusNak);
    EXPECT_EQ(command(0x02)[3], kStatusAck);
    Bytes report = frame({0x01, 0x00, 0x00, 0x08, 0x02});
    EXPECT_FALSE(device->setFeature(report));
    EXPECT_FALSE(receiver.plugged());
}

TEST_F(Receiver, injectedNakLeavesTheDeviceUntouched) {
    receiver.faults().nakCode = 0x22;
    EXPECT_EQ(command(0x22, {1})[3], kStatusNak);
    EXPECT_FALSE(receiver.captureMode());
}

}  // namespace
}  // namespace tessik::test
