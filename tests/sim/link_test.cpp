// The link's retries, waits, messages and states against the simulated receiver, on the fake
// clock.

#include <gtest/gtest.h>

#include "sim/device_fixture.hpp"
#include "support/model_builders.hpp"

namespace tessik::test {
namespace {

using sim::Direction;
using Link = DeviceFixture;

const std::string kNoSuchDevice = std::make_error_code(std::errc::no_such_device).message();
const std::string kBrokenPipe = std::make_error_code(std::errc::broken_pipe).message();

TEST_F(Link, withoutDeviceEveryTransferSaysNotConnectedAtOnce) {
    receiver.faults().absent = true;
    EXPECT_FALSE(commands.SetReturnCode(0, CodeRecord{}));
    EXPECT_EQ(notifier.messages, std::vector<Message>{errorBox(kLinkNotConnectedText)});
    EXPECT_EQ(log.lines, std::vector<std::string>{"Send Set Return Code Command Fault"});
    EXPECT_FALSE(link.connected());
    EXPECT_EQ(clock.now(), 0u);

    Frame reply{};
    EXPECT_FALSE(link.GetFeature(reply));
    EXPECT_EQ(notifier.messages.size(), 2u);
    EXPECT_EQ(notifier.messages[1], errorBox(kLinkNotConnectedText));
}

TEST_F(Link, aFailedSendIsRetriedEvery100ms) {
    receiver.faults().setFailures = 3;
    EXPECT_TRUE(commands.Save());
    EXPECT_EQ(count(Direction::Set, false), 3u);
    EXPECT_EQ(count(Direction::Set, true), 1u);
    EXPECT_EQ(clock.totalSlept(), 3 * kRetryPauseMs + kSaveReplyWaitMs);
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_TRUE(link.connected());
}

TEST_F(Link, elevenFailedSendsShowThePlatformTextAndDisconnect) {
    receiver.faults().setFailures = 11;
    EXPECT_FALSE(commands.SetMacro(0, MacroRecord{}));
    EXPECT_EQ(count(Direction::Set, false), 11u);
    EXPECT_EQ(clock.totalSlept(), 10 * kRetryPauseMs);
    EXPECT_EQ(notifier.messages, std::vector<Message>{errorBox(kBrokenPipe)});
    EXPECT_EQ(log.lines, std::vector<std::string>{"Send Set Macro Command Fault"});
    EXPECT_FALSE(link.connected());

    // The next transfer searches again and finds the device.
    EXPECT_TRUE(commands.SetMacro(0, MacroRecord{}));
    EXPECT_EQ(receiver.openCount(), 2u);
    EXPECT_TRUE(link.connected());
}

TEST_F(Link, aFailedReadIsRetriedUpToTenTimes) {
    receiver.faults().getFailures = 10;
    EXPECT_TRUE(commands.SetReturnCode(1, CodeRecord{}));
    EXPECT_EQ(count(Direction::Get, false), 10u);
    EXPECT_EQ(clock.totalSlept(), 10 * kRetryPauseMs);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(Link, elevenFailedReadsShowThePlatformTextAndDisconnect) {
    receiver.faults().getFailures = 11;
    EXPECT_FALSE(commands.SetReturnCode(1, CodeRecord{}));
    EXPECT_EQ(count(Direction::Get, false), 11u);
    EXPECT_EQ(clock.totalSlept(), 10 * kRetryPauseMs);
    EXPECT_EQ(notifier.messages, std::vector<Message>{errorBox(kBrokenPipe)});
    EXPECT_EQ(log.lines, std::vector<std::string>{"USB Recv Error"});
    EXPECT_FALSE(link.connected());
}

TEST_F(Link, aBusyReplyIsReadAgainUntilItIsReady) {
    receiver.faults().busyReads = 9;
    EXPECT_TRUE(commands.SetIrCode(RemoteHeader{}, 10));
    EXPECT_EQ(count(Direction::Get, true), 10u);
    EXPECT_EQ(clock.totalSlept(), 9 * kRetryPauseMs);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(Link, tenBusyReadsFailSilentlyAndStayConnected) {
    receiver.faults().busyReads = 10;
    EXPECT_FALSE(commands.SetIrCode(RemoteHeader{}, 10));
    EXPECT_EQ(count(Direction::Get, true), 10u);
    EXPECT_EQ(clock.totalSlept(), 9 * kRetryPauseMs);
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(log.lines, std::vector<std::string>{"USB Recv Error"});
    EXPECT_TRUE(link.connected());
}

TEST_F(Link, failedAndBusyReadsShareOneBudget) {
    receiver.faults().getFailures = 5;
    receiver.faults().busyReads = 5;
    EXPECT_FALSE(commands.Save());
    EXPECT_EQ(count(Direction::Get, false), 5u);
    EXPECT_EQ(count(Direction::Get, true), 5u);
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_TRUE(link.connected());
}

TEST_F(Link, aNakIsShownAndTheLinkStaysConnected) {
    receiver.faults().nakCode = 0x26;
    EXPECT_FALSE(commands.SetReturnCode(5, CodeRecord{}));
    EXPECT_EQ(notifier.messages, std::vector<Message>{errorBox(kLinkNakText)});
    EXPECT_EQ(log.lines, std::vector<std::string>{"USB Recv Error"});
    EXPECT_TRUE(link.connected());
    EXPECT_EQ(clock.totalSlept(), 0u);

    // The next command goes out on the same handle, without a new search.
    EXPECT_TRUE(commands.SetMacro(5, MacroRecord{}));
    EXPECT_EQ(receiver.openCount(), 1u);
}

TEST_F(Link, unplugBetweenCommandsThenNotConnectedThenReplugged) {
    ASSERT_TRUE(commands.SetReturnCode(0, CodeRecord{}));
    receiver.unplug();

    // The kept handle fails eleven times: the platform's text, then disconnected.
    EXPECT_FALSE(commands.SetReturnCode(1, CodeRecord{}));
    EXPECT_EQ(notifier.messages, std::vector<Message>{errorBox(kNoSuchDevice)});
    EXPECT_FALSE(link.connected());
    EXPECT_EQ(clock.totalSlept(), 10 * kRetryPauseMs);

    // The transfer after that searches, finds nothing and says so at once.
    EXPECT_FALSE(commands.SetReturnCode(1, CodeRecord{}));
    EXPECT_EQ(notifier.messages.back(), errorBox(kLinkNotConnectedText));
    EXPECT_EQ(clock.totalSlept(), 10 * kRetryPauseMs);

    // Plugged in again: found without a restart.
    receiver.plug();
    EXPECT_TRUE(commands.SetReturnCode(1, CodeRecord{}));
    EXPECT_TRUE(link.connected());
    EXPECT_EQ(notifier.messages.size(), 2u);
    EXPECT_EQ(log.lines, (std::vector<std::string>{
                             "Send Set Return Code Command Success",
                             "Send Set Return Code Command Fault",
                             "Send Set Return Code Command Fault",
                             "Send Set Return Code Command Success",
                         }));
}

TEST_F(Link, disconnectClosesAndTheNextTransferOpensAgain) {
    ASSERT_TRUE(commands.CaptureMode(1));
    link.Disconnect();
    EXPECT_FALSE(link.connected());
    EXPECT_TRUE(commands.CaptureMode(0));
    EXPECT_EQ(receiver.openCount(), 2u);
}

TEST_F(Link, reportIdIsSetToOneBeforeEveryAttempt) {
    receiver.faults().setFailures = 2;
    Frame f{};
    f[0] = 7;
    putFrameHeader(f, CommandCode::Save, 0);
    f[0] = 7;
    ASSERT_TRUE(link.SetFeature(f));
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

struct TwoDevices : ::testing::Test {
    FakeClock clock;
    sim::SimulatedReceiver first{clock};
    sim::SimulatedReceiver second{clock};
    TwoBuses bus{first.transport(), second.transport()};
    RecordingNotifier notifier;
    CUsbhidioc link{bus, clock, notifier};
};

TEST_F(TwoDevices, theFirstEnumeratedIsUsed) {
    ASSERT_TRUE(link.Open());
    Frame f{};
    putFrameHeader(f, CommandCode::Save, 0);
    ASSERT_TRUE(link.SetFeature(f));
    EXPECT_EQ(first.exchangeCount(), 1u);
    EXPECT_EQ(second.exchangeCount(), 0u);
}

TEST_F(TwoDevices, oneThatCannotBeOpenedIsSkipped) {
    first.faults().unopenable = true;
    ASSERT_TRUE(link.Open());
    Frame f{};
    putFrameHeader(f, CommandCode::Save, 0);
    ASSERT_TRUE(link.SetFeature(f));
    EXPECT_EQ(second.exchangeCount(), 1u);
}

TEST_F(TwoDevices, oneWithReportsLongerThanTheFramesIsPassedOver) {
    first.setIdentity({kVendorId, kProductIdNormal, 1024});
    ASSERT_TRUE(link.Open());
    EXPECT_EQ(link.featureReportLength(), 512u);
    second.unplug();
    EXPECT_FALSE(link.Open());
}

}  // namespace
}  // namespace tessik::test
