// The link's retries, waits, messages and states against the simulated receiver, on the fake
// clock.

#include <gtest/gtest.h>

#include <tuple>

#include "support/device_fixture.hpp"
#include "support/model_builders.hpp"

namespace tessik::test {
namespace {

using sim::Direction;
using Link = DeviceFixture;

// Sends and reads are tried up to eleven times, 100 ms apart; a busy reply (status 1) is read
// again within the same budget. A send or read that never gets through reports the platform's
// text and drops the handle (the device gone, when it has left the bus); ten busy replies and a
// NAK keep it.
TEST_F(Link, failedSendsReadsBusyRepliesNaksAndUnplugsGiveTheirOutcomesWaitsAndStates) {
    const std::string pipe = platformText(std::errc::broken_pipe);
    const char* fault = "Send Set Return Code Command Fault";
    const char* recv = "USB Recv Error";
    using E = DeviceError;
    const struct {
        const char* name;
        std::uint32_t setFailures, getFailures, busyReads;
        std::optional<std::uint16_t> nak;
        std::optional<std::uint32_t> unplugAfter;
        std::size_t failedSets, delivered, failedGets, readReplies;
        std::uint64_t sleptMs;
        DeviceOutcome outcome;
        std::string logLine;
        bool connected;
    } cases[] = {
        {"3 failed sends", 3, 0, 0, {}, {}, 3, 1, 0, 1, 300, {}, "", true},
        {"11 failed sends",
         11,
         0,
         0,
         {},
         {},
         11,
         0,
         0,
         0,
         1000,
         {E::TransferFailed, pipe},
         fault,
         false},
        {"10 failed reads", 0, 10, 0, {}, {}, 0, 1, 10, 1, 1000, {}, "", true},
        {"11 failed reads",
         0,
         11,
         0,
         {},
         {},
         0,
         1,
         11,
         0,
         1000,
         {E::TransferFailed, pipe},
         recv,
         false},
        {"9 busy", 0, 0, 9, {}, {}, 0, 1, 0, 10, 900, {}, "", true},
        {"10 busy", 0, 0, 10, {}, {}, 0, 1, 0, 10, 900, {E::NoReply, ""}, recv, true},
        {"5 failed, 5 busy", 0, 5, 5, {}, {}, 0, 1, 5, 5, 900, {E::NoReply, ""}, recv, true},
        {"NAK", 0, 0, 0, 0x26, {}, 0, 1, 0, 1, 0, {E::Nak, ""}, recv, true},
        {"unplugged",
         0,
         0,
         0,
         {},
         0,
         11,
         0,
         0,
         0,
         1000,
         {E::DeviceGone, platformText(std::errc::no_such_device)},
         fault,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeviceRig d;
        sim::Faults& f = d.receiver.faults();
        std::tie(f.setFailures, f.getFailures, f.busyReads, f.nakCode, f.unplugAfter) =
            std::tuple(c.setFailures, c.getFailures, c.busyReads, c.nak, c.unplugAfter);

        EXPECT_EQ(d.commands.SetReturnCode(1, CodeRecord{}), c.outcome.ok());
        EXPECT_EQ(std::tuple(d.count(Direction::Set, false), d.count(Direction::Set, true),
                             d.count(Direction::Get, false), d.count(Direction::Get, true)),
                  std::tuple(c.failedSets, c.delivered, c.failedGets, c.readReplies));
        EXPECT_EQ(d.clock.totalSlept(), c.sleptMs);
        EXPECT_EQ(d.commands.outcome(), c.outcome);
        EXPECT_EQ(d.log.lines.back(),
                  c.outcome.ok() ? "Send Set Return Code Command Success" : c.logLine);
        EXPECT_EQ(d.link.connected(), c.connected);

        // The next command gets through; only a dropped handle makes it search again.
        f = sim::Faults{};
        d.receiver.plug();
        EXPECT_TRUE(d.commands.SetMacro(0, MacroRecord{}));
        EXPECT_EQ(d.commands.outcome(), DeviceOutcome{});
        EXPECT_EQ(d.receiver.openCount(), c.connected ? 1u : 2u);
    }
}

TEST_F(Link, reportIdIsSetToOneBeforeEveryAttempt) {
    receiver.faults().setFailures = 2;
    Frame f{};
    putFrameHeader(f, CommandCode::Save, 0);
    f[0] = 7;
    ASSERT_TRUE(link.SetFeature(f));
    ASSERT_EQ(receiver.traffic().size(), 3u);
    for (const auto& t : receiver.traffic())
        EXPECT_EQ(t.report[0], 1);
}

// Two buses seen as one, in order: the way a machine with two matching devices enumerates.
class TwoBuses : public HidTransport {
  public:
    TwoBuses(HidTransport& a, HidTransport& b) : a_(a), b_(b) {}
    std::vector<HidDeviceInfo> enumerate(std::uint16_t v, std::uint16_t p) override {
        auto all = a_.enumerate(v, p);
        for (auto& d : b_.enumerate(v, p)) {
            d.path += "#2";
            all.push_back(d);
        }
        return all;
    }
    std::unique_ptr<HidDevice> open(const HidDeviceInfo& info) override {
        if (!info.path.ends_with("#2")) return a_.open(info);
        HidDeviceInfo inner = info;
        inner.path.resize(inner.path.size() - 2);
        return b_.open(inner);
    }

  private:
    HidTransport& a_;
    HidTransport& b_;
};

TEST(TwoDevices, theFirstUsableIsTakenPassingOverUnopenableAndOversizedOnes) {
    FakeClock clock;
    sim::SimulatedReceiver first{clock};
    sim::SimulatedReceiver second{clock};
    TwoBuses bus{first.transport(), second.transport()};
    CUsbhidioc link{bus, clock};
    Frame f{};
    putFrameHeader(f, CommandCode::Save, 0);

    first.faults().unopenable = true;  // held by another program
    ASSERT_TRUE(link.Open());
    ASSERT_TRUE(link.SetFeature(f));
    EXPECT_EQ(std::pair(first.exchangeCount(), second.exchangeCount()), std::pair(0u, 1u));

    link.Disconnect();
    first.faults().unopenable = false;
    first.setIdentity({kVendorId, kProductIdNormal, 1024});  // longer than the frames
    ASSERT_TRUE(link.Open());
    EXPECT_EQ(link.featureReportLength(), 512u);
    second.unplug();
    link.Disconnect();
    EXPECT_FALSE(link.Open());
}

}  // namespace
}  // namespace tessik::test
