// The capture session against the simulated receiver: the presses, the refusals, Next and Close.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "core/ir/decoders.hpp"
#include "core/text/strings.hpp"
#include "support/capture_fixture.hpp"

namespace tessik::test {
namespace {

using ::testing::ElementsAre;

std::string str(StringId id) {
    return std::string(text(id, Language::English));
}
Message warning(StringId id) {
    return Message{"", str(id), MessageKind::Warning};
}
Message notice(StringId id) {
    return Message{"", str(id), MessageKind::Notice};
}

// NEC address 0x5E, command 0x08, each byte sent least significant bit first: the bytes read
// 7A 85 10 EF, and type 1 holds each of them twice.
constexpr std::uint64_t kPowerCode = 0x7A7A85851010EFEFull;

struct Capture : CaptureFixture {
    // The press was refused with `box`: back to waiting for a first press.
    void expectRefused(const Message& box) {
        EXPECT_THAT(notifier.messages, ElementsAre(box));
        EXPECT_EQ(session.state(), CaptureState::FirstPress);
        EXPECT_EQ(view.prompt, str(StringId::CapturePrompt));
        EXPECT_TRUE(view.timerMs.has_value());
        notifier.messages.clear();
    }
};

TEST_F(Capture, twoMatchingPressesAreConfirmedAndNextStoresTheCodeWithItsComment) {
    pressNec("Power");
    EXPECT_EQ(session.state(), CaptureState::SecondPress);
    EXPECT_EQ(view.prompt, str(StringId::SecondPressPrompt));
    EXPECT_EQ(view.result, str(StringId::SecondPressStandby));
    EXPECT_TRUE(receiver.captureMode());
    EXPECT_TRUE(view.timerMs.has_value());

    view.type(u"typed too early");
    pressNec("Power");
    EXPECT_EQ(session.state(), CaptureState::Confirmed);
    EXPECT_EQ(view.prompt, str(StringId::ReadingCompleted));
    EXPECT_EQ(view.result, "0x7A7A85851010EFEF");
    EXPECT_TRUE(view.nextEnabled);
    EXPECT_TRUE(view.commentFocused);
    EXPECT_EQ(view.comment(), u"");  // the refresh at confirmation empties the edit
    EXPECT_FALSE(view.timerMs.has_value());
    EXPECT_TRUE(notifier.messages.empty());

    view.type(u"Power button");
    session.next();
    const sim::IrSignal power = *sim::necTvRemote().signal("Power");
    EXPECT_EQ(model.buttons[0].code, decodeCapture(power.low, power.high));
    EXPECT_EQ(model.buttons[0].code.codeValue, kPowerCode);
    EXPECT_EQ(model.buttons[0].text.comment, u"Power button");
    EXPECT_TRUE(model.modified);
    EXPECT_EQ(model.header.leaderLow.max, 9000);

    EXPECT_EQ(session.state(), CaptureState::FirstPress);
    EXPECT_EQ(view.prompt, str(StringId::CapturePrompt));
    EXPECT_EQ(view.result, str(StringId::FirstPressStandby));
    EXPECT_FALSE(view.nextEnabled);
    EXPECT_EQ(view.comment(), u"");
    EXPECT_EQ(view.timerMs, kCapturePollMs);
    EXPECT_TRUE(receiver.captureMode());
}

TEST_F(Capture, aPressIsFetchedOnlyOnceItsCountAboveTenStopsGrowing) {
    EXPECT_EQ(session.state(), CaptureState::FirstPress);
    EXPECT_EQ(view.prompt, str(StringId::CapturePrompt));
    EXPECT_EQ(view.result, str(StringId::FirstPressStandby));
    EXPECT_EQ(view.timerMs, kCapturePollMs);
    // 34 entries arrive 16 per poll: 16, 32, 34, then 34 again fetches.
    pressNec("Mute");
    const auto polls = std::count(log.lines.begin(), log.lines.end(),
                                  std::string("Send Start Capture Command Success"));
    EXPECT_EQ(polls, 4);
    EXPECT_THAT(std::vector<std::string>(log.lines.end() - 3, log.lines.end()),
                ElementsAre("Start Capture", "Send Get Capture Command Success",
                            "Send Get Capture Command Success"));

    // Ten entries are never a press, however long they stay.
    sim::IrSignal shortOne = *sim::necTvRemote().signal("Mute");
    shortOne.low.resize(10);
    shortOne.high.resize(10);
    receiver.capture().load(shortOne.low, shortOne.high, 0);
    log.lines.clear();
    for (int i = 0; i < 8; ++i)
        tick();
    EXPECT_EQ(std::count(log.lines.begin(), log.lines.end(), std::string("Start Capture")), 0);
    EXPECT_EQ(session.state(), CaptureState::SecondPress);
}

TEST_F(Capture, aDifferentSecondPressIsRefusedAndTheNextPressCountsAsAFirstOne) {
    pressNec("Power");
    pressNec("Mute");
    expectRefused(notice(StringId::CodeDiffersFromFirst));
    EXPECT_EQ(session.heldRecord(), CodeRecord{});

    pressNec("Mute");
    EXPECT_EQ(session.state(), CaptureState::SecondPress);
    pressNec("Mute");
    EXPECT_EQ(session.state(), CaptureState::Confirmed);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(Capture, pressesThatFailAValidationAreRefusedWithTheirBoxes) {
    // A device that announces a single entry: nothing to analyse.
    receiver.faults().oversizedLength = 2;
    pressNec("Power");
    receiver.faults().oversizedLength.reset();
    expectRefused(warning(StringId::TooFewEntries));

    // Twelve equal entries: no leader stands out and no period is a one.
    sim::IrSignal flat;
    flat.low.assign(12, 500);
    flat.high.assign(12, 500);
    load(flat);
    expectRefused(warning(StringId::NothingDecoded));

    // A pulse-distance frame with 21 data bytes: 168 bits, more than a code record holds.
    const sim::IrSignal tooLong = sim::aehaSignal(std::vector<std::uint8_t>(21, 0xA5));
    load(tooLong);
    expectRefused(notice(StringId::IrDataTooLong));

    teach("Power", u"power");
    pressNec("Power");
    expectRefused(notice(StringId::CodeAlreadyTaken));
    // 12-bit SIRC decodes to 11 bits: the last entry, which ends the frame, is not analysed.
    press(sim::sircTvRemote(), "Vol+");
    expectRefused(warning(StringId::CodeLengthDiffers));
    // Once slot 0 holds a code, the failed decode's bitCount 0 differs from its 32 bits.
    load(tooLong);
    expectRefused(warning(StringId::CodeLengthDiffers));
}

TEST_F(Capture, storingTheLastFreeSlotEndsCaptureWithTheTableFullNotice) {
    // A table read from a file may have its free slot before occupied ones.
    model = modelWithButtons(128);
    model.buttons[5] = ButtonRecord{};
    teach("Power", u"the last one");
    EXPECT_EQ(model.buttons[5].code.codeValue, kPowerCode);
    EXPECT_EQ(model.buttons[5].text.comment, u"the last one");
    EXPECT_THAT(notifier.messages, ElementsAre(notice(StringId::ButtonTableFull)));
    EXPECT_EQ(session.state(), CaptureState::Full);
    EXPECT_FALSE(view.nextEnabled);
    EXPECT_FALSE(view.timerMs.has_value());
    session.next();  // disabled: nothing happens
    EXPECT_EQ(model.occupiedCount(), 128u);
}

TEST_F(Capture, closeAfterAConfirmationStoresTheCodeWithItsComment) {
    pressNec("OK");
    pressNec("OK");
    view.type(u"select");
    session.close();
    EXPECT_EQ(model.buttons[0].code.codeValue, session.heldRecord().codeValue);
    EXPECT_EQ(model.buttons[0].text.comment, u"select");
    EXPECT_FALSE(receiver.captureMode());
    EXPECT_FALSE(view.timerMs.has_value());
    EXPECT_EQ(session.state(), CaptureState::Closed);
    EXPECT_EQ(model.occupiedCount(), 1u);
}

TEST_F(Capture, closeStoresNeitherAStoredCodeAgainNorAFirstPress) {
    teach("Power", u"power");
    pressNec("Mute");  // first press accepted; the held record still holds it
    ASSERT_EQ(session.heldRecord().codeValue, session.firstCapture()->codeValue);
    session.close();
    EXPECT_EQ(model.occupiedCount(), 1u);
    EXPECT_FALSE(receiver.captureMode());
}

TEST_F(Capture, aLinkErrorInThePollStopsPolling) {
    receiver.faults().setFailures = kTransferRetries + 1;
    tick();
    EXPECT_EQ(log.lines.back(), "USB Send Error");
    EXPECT_EQ(session.state(), CaptureState::Stopped);
    EXPECT_FALSE(view.timerMs.has_value());
    EXPECT_EQ(view.prompt, str(StringId::CapturePrompt));  // unchanged
    session.timerFired();                                  // a stray tick does nothing
    EXPECT_EQ(log.lines.size(), 1u);

    // A refused reply also drops the recording with CaptureMode 1.
    session.shown();
    receiver.faults().nakCode = static_cast<std::uint16_t>(CommandCode::StartCapture);
    receiver.clearTraffic();
    tick();
    EXPECT_EQ(log.lines.back(), "USB Recv Error");
    EXPECT_EQ(session.state(), CaptureState::Stopped);
    EXPECT_FALSE(view.timerMs.has_value());
    EXPECT_EQ(sentCount(receiver, CommandCode::CaptureMode), 1u);
}

TEST_F(Capture, aFailedReadOfThePeriodsRetriesAtTheFirstPress) {
    pressNec("Power");
    receiver.faults().nakCode = static_cast<std::uint16_t>(CommandCode::GetCaptureHigh);
    ASSERT_EQ(reception.press(sim::necTvRemote(), "Power").heard, sim::Heard::Captured);
    pollUntilFetched();
    EXPECT_EQ(log.lines.back(), "USB Recv Error");
    expectRefused(errorBox(kLinkNakText));
    receiver.faults().nakCode.reset();
    pressNec("Power");
    EXPECT_EQ(session.state(), CaptureState::SecondPress);
}

TEST_F(Capture, aStaleEchoIsAskedAgainButNotForever) {
    receiver.faults().wrongEcho = 3;
    receiver.clearTraffic();
    pressNec("Power");
    EXPECT_EQ(sentCount(receiver, CommandCode::GetCaptureLow), 4u);
    EXPECT_EQ(session.state(), CaptureState::SecondPress);

    receiver.faults().wrongEcho = sim::kEveryTime;
    receiver.clearTraffic();
    log.lines.clear();
    pressNec("Power");
    EXPECT_EQ(sentCount(receiver, CommandCode::GetCaptureLow),
              static_cast<std::size_t>(kLowPeriodReadTries));
    EXPECT_EQ(sentCount(receiver, CommandCode::GetCaptureHigh), 0u);
    EXPECT_EQ(log.lines.back(), "USB Recv Error");
    EXPECT_EQ(session.state(), CaptureState::FirstPress);
    EXPECT_TRUE(view.timerMs.has_value());
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(Capture, anOversizedDataLengthTakesOnlyWhatTheReplyHolds) {
    // The device announces 0xFFFE bytes; 251 entries fit the 512-byte report. The periods behind
    // the real 34 read as 0 and do not disturb the decode.
    receiver.faults().oversizedLength = 0xFFFE;
    pressNec("Power");
    EXPECT_EQ(session.state(), CaptureState::SecondPress);
    EXPECT_EQ(session.firstCapture()->pairCount, 250);
    EXPECT_EQ(session.firstCapture()->codeValue, kPowerCode);
}

TEST_F(Capture, missingHighPeriodsCountAsZero) {
    const sim::IrSignal power = *sim::necTvRemote().signal("Power");
    const std::vector<std::uint16_t> someHighs(power.high.begin(), power.high.begin() + 20);
    receiver.capture().load(power.low, someHighs, 0);
    pollUntilFetched();
    std::vector<std::uint16_t> padded = someHighs;
    padded.resize(power.low.size(), 0);
    ASSERT_TRUE(session.firstCapture().has_value());
    EXPECT_EQ(*session.firstCapture(), decodeCapture(power.low, padded));
}

}  // namespace
}  // namespace tessik::test
