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
// again within the same budget. A send or read that never gets through shows the platform's
// text and drops the handle; ten busy replies and a NAK keep it.
TEST_F(Link, failedSendsReadsBusyRepliesAndNaksGiveTheirMessagesWaitsAndStates) {
    const std::string pipe = platformText(std::errc::broken_pipe);
    const char* fault = "Send Set Return Code Command Fault";
    const char* recv = "USB Recv Error";
    const struct {
        const char* name;
        std::uint32_t setFailures, getFailures, busyReads;
        std::optional<std::uint16_t> nak;
        bool acknowledged;
        std::size_t failedSets, failedGets, readReplies;
        std::uint64_t sleptMs;
        std::vector<Message> boxes;
        std::string logLine;
        bool connected;
    } cases[] = {
        {"3 failed sends", 3, 0, 0, {}, true, 3, 0, 1, 300, {}, "", true},
        {"11 failed sends", 11, 0, 0, {}, false, 11, 0, 0, 1000, {errorBox(pipe)}, fault, false},
        {"10 failed reads", 0, 10, 0, {}, true, 0, 10, 1, 1000, {}, "", true},
        {"11 failed reads", 0, 11, 0, {}, false, 0, 11, 0, 1000, {errorBox(pipe)}, recv, false},
        {"9 busy", 0, 0, 9, {}, true, 0, 0, 10, 900, {}, "", true},
        {"10 busy", 0, 0, 10, {}, false, 0, 0, 10, 900, {}, recv, true},
        {"5 failed, 5 busy", 0, 5, 5, {}, false, 0, 5, 5, 900, {}, recv, true},
        {"NAK", 0, 0, 0, 0x26, false, 0, 0, 1, 0, {errorBox(kLinkNakText)}, recv, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeviceRig d;
        sim::Faults& f = d.receiver.faults();
        std::tie(f.setFailures, f.getFailures, f.busyReads, f.nakCode) =
            std::tuple(c.setFailures, c.getFailures, c.busyReads, c.nak);

        EXPECT_EQ(d.commands.SetReturnCode(1, CodeRecord{}), c.acknowledged);
        EXPECT_EQ(d.count(Direction::Set, false), c.failedSets);
        EXPECT_EQ(d.count(Direction::Set, true),
                  c.failedSets > std::size_t{kTransferRetries} ? 0u : 1u);
        EXPECT_EQ(d.count(Direction::Get, false), c.failedGets);
        EXPECT_EQ(d.count(Direction::Get, true), c.readReplies);
        EXPECT_EQ(d.clock.totalSlept(), c.sleptMs);
        EXPECT_EQ(d.notifier.messages, c.boxes);
        EXPECT_EQ(d.log.lines.back(),
                  c.acknowledged ? "Send Set Return Code Command Success" : c.logLine);
        EXPECT_EQ(d.link.connected(), c.connected);

        // The next command gets through; only a dropped handle makes it search again.
        f = sim::Faults{};
        EXPECT_TRUE(d.commands.SetMacro(0, MacroRecord{}));
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
    RecordingNotifier notifier;
    CUsbhidioc link{bus, clock, notifier};
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
