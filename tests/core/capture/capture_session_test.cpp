// The capture session against the simulated receiver: the presses, the refusals, Next and Close.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "core/text/strings.hpp"
#include "support/capture_fixture.hpp"

namespace tessik::test {
namespace {

using ::testing::ElementsAre;

// NEC address 0x5E, command 0x08, each byte sent least significant bit first: the bytes read
// 7A 85 10 EF, and type 1 holds each of them twice.
constexpr std::uint64_t kPowerCode = 0x7A7A85851010EFEFull;

struct Capture : CaptureFixture {
    static std::string str(StringId id) { return std::string(text(id, Language::English)); }
    static Message box(StringId id, MessageKind kind = MessageKind::Notice) {
        return {"", str(id), kind};
    }
    // The state, the prompt, the result and whether the poll timer runs.
    auto shown() const {
        return std::tuple(session.state(), view.prompt, view.result, view.timerMs.has_value());
    }
    // The press was refused with `refusal`: back to waiting for a first press.
    void expectRefused(const Message& refusal) {
        EXPECT_THAT(notifier.messages, ElementsAre(refusal));
        EXPECT_EQ(std::tuple(session.state(), view.prompt, view.timerMs.has_value()),
                  std::tuple(CaptureState::FirstPress, str(StringId::CapturePrompt), true));
        notifier.messages.clear();
    }
};

TEST_F(Capture, twoMatchingPressesAreConfirmedAndNextStoresTheCodeWithItsComment) {
    const auto waiting = std::tuple(CaptureState::FirstPress, str(StringId::CapturePrompt),
                                    str(StringId::FirstPressStandby), true);
    EXPECT_EQ(shown(), waiting);
    pressNec("Power");
    EXPECT_EQ(shown(), std::tuple(CaptureState::SecondPress, str(StringId::SecondPressPrompt),
                                  str(StringId::SecondPressStandby), true));
    view.type(u"typed too early");
    pressNec("Power");
    EXPECT_EQ(shown(), std::tuple(CaptureState::Confirmed, str(StringId::ReadingCompleted),
                                  std::string("0x7A7A85851010EFEF"), false));
    // The refresh at confirmation empties the edit.
    EXPECT_EQ(std::tuple(view.nextEnabled, view.commentFocused, view.comment(),
                         notifier.messages.empty()),
              std::tuple(true, true, u"", true));

    view.type(u"Power button");
    session.next();
    EXPECT_EQ(std::tuple(model.buttons()[0].code.codeValue, model.buttons()[0].text.comment,
                         model.modified(), model.header().leaderLow.max),
              std::tuple(kPowerCode, u"Power button", true, 9000));

    EXPECT_EQ(std::tuple(shown(), view.nextEnabled), std::tuple(waiting, false));

    // Close after a confirmation stores the code too.
    pressNec("OK");
    pressNec("OK");
    view.type(u"select");
    session.close();
    EXPECT_EQ(std::tuple(model.buttons()[1].code.codeValue, model.buttons()[1].text.comment),
              std::tuple(session.heldRecord().codeValue, u"select"));
    EXPECT_EQ(std::tuple(receiver.captureMode(), view.timerMs.has_value(), session.state(),
                         model.occupiedCount()),
              std::tuple(false, false, CaptureState::Closed, 2u));
}

TEST_F(Capture, aPressIsFetchedOnlyOnceItsCountAboveTenStopsGrowing) {
    // 34 entries arrive 16 per poll: 16, 32, 34, then 34 again fetches.
    pressNec("Mute");
    EXPECT_EQ(std::count(log.lines.begin(), log.lines.end(), "Send Start Capture Command Success"),
              4);
    EXPECT_THAT(std::vector<std::string>(log.lines.end() - 3, log.lines.end()),
                ElementsAre("Start Capture", "Send Get Capture Command Success",
                            "Send Get Capture Command Success"));
}

TEST_F(Capture, pressesThatFailAValidationAreRefusedWithTheirBoxesAndCloseStoresNone) {
    constexpr auto kWarning = MessageKind::Warning;
    // A device that announces a single entry: nothing to analyse.
    receiver.faults().oversizedLength = 2;
    pressNec("Power");
    receiver.faults().oversizedLength.reset();
    expectRefused(box(StringId::TooFewEntries, kWarning));

    // Twelve equal entries: no leader stands out and no period is a one.
    const std::vector<std::uint16_t> flat(12, 500);
    load({flat, flat});
    expectRefused(box(StringId::NothingDecoded, kWarning));

    // A pulse-distance frame with 21 data bytes: 168 bits, more than a code record holds.
    const sim::IrSignal tooLong = sim::aehaSignal(std::vector<std::uint8_t>(21, 0xA5));
    load(tooLong);
    expectRefused(box(StringId::IrDataTooLong));

    pressNec("Power");
    pressNec("Mute");
    expectRefused(box(StringId::CodeDiffersFromFirst));

    teach("Power", u"power");
    pressNec("Power");
    expectRefused(box(StringId::CodeAlreadyTaken));
    // 12-bit SIRC decodes to 11 bits: the last entry, which ends the frame, is not analysed.
    press(sim::sircTvRemote(), "Vol+");
    expectRefused(box(StringId::CodeLengthDiffers, kWarning));
    // Once slot 0 holds a code, the failed decode's bitCount 0 differs from its 32 bits.
    load(tooLong);
    expectRefused(box(StringId::CodeLengthDiffers, kWarning));

    // Close stores no first press, though the held record still holds it.
    pressNec("Mute");
    session.close();
    EXPECT_EQ(std::tuple(model.occupiedCount(), receiver.captureMode()), std::tuple(1u, false));
}

TEST_F(Capture, storingTheLastFreeSlotEndsCaptureWithTheTableFullNotice) {
    // A table read from a file may have its free slot before occupied ones.
    model = modelWithButtons(128);
    test::rewrite(model, [](RemoteTables& t) { t.buttons[5] = ButtonRecord{}; });
    teach("Power", u"the last one");
    EXPECT_EQ(std::tuple(model.buttons()[5].code.codeValue, model.buttons()[5].text.comment),
              std::tuple(kPowerCode, u"the last one"));
    EXPECT_THAT(notifier.messages, ElementsAre(box(StringId::ButtonTableFull)));
    EXPECT_EQ(std::tuple(session.state(), view.nextEnabled, view.timerMs.has_value()),
              std::tuple(CaptureState::Full, false, false));
    session.next();  // disabled
    EXPECT_EQ(model.occupiedCount(), 128u);
}

TEST_F(Capture, aLinkErrorInThePollStopsPolling) {
    receiver.faults().setFailures = kTransferRetries + 1;
    tick();
    session.timerFired();  // a stray tick does nothing
    EXPECT_EQ(std::tuple(log.lines, session.state(), view.timerMs.has_value()),
              std::tuple(std::vector<std::string>{"USB Send Error"}, CaptureState::Stopped, false));

    // A refused reply also drops the recording with CaptureMode 1.
    session.shown();
    receiver.faults().nakCode = static_cast<std::uint16_t>(CommandCode::StartCapture);
    receiver.clearTraffic();
    tick();
    EXPECT_EQ(std::tuple(log.lines.back(), session.state(), view.timerMs.has_value(),
                         sentCount(receiver, CommandCode::CaptureMode)),
              std::tuple("USB Recv Error", CaptureState::Stopped, false, 1u));
}

// A stale echo is asked again, but not forever; a refused read of either half drops the press.
TEST_F(Capture, aFailedReadOfThePeriodsRetriesAtTheFirstPress) {
    receiver.faults().wrongEcho = 3;
    pressNec("Power");
    EXPECT_EQ(session.state(), CaptureState::SecondPress);

    receiver.faults().wrongEcho = sim::kEveryTime;
    receiver.clearTraffic();
    pressNec("Power");
    EXPECT_EQ(std::tuple(sentCount(receiver, CommandCode::GetCaptureLow),
                         sentCount(receiver, CommandCode::GetCaptureHigh), log.lines.back(),
                         session.state(), view.timerMs.has_value(), notifier.messages.empty()),
              std::tuple(static_cast<std::size_t>(kLowPeriodReadTries), 0u, "USB Recv Error",
                         CaptureState::FirstPress, true, true));

    receiver.faults().wrongEcho = 0;
    pressNec("Power");
    receiver.faults().nakCode = static_cast<std::uint16_t>(CommandCode::GetCaptureHigh);
    pressNec("Power");
    expectRefused(linkBox(DeviceError::Nak));
}

// A receiver that leaves ends the capture with one message, whether a poll finds it gone or the
// window's watcher tells first: the prompt stops asking for a press, the table keeps its codes,
// a confirmed code is still stored by Close, and nothing more is sent.
TEST_F(Capture, aReceiverThatLeavesEndsTheCaptureWithOneMessageAndKeepsTheCodes) {
    const Message unplugged{"", "The receiver was unplugged. The codes stored so far are kept.",
                            MessageKind::Notice};
    const std::string plugIn = "Plug the receiver in and open Capture Ir Data again.";
    teach("Power", u"power");
    pressNec("Mute");
    receiver.unplug();
    tick();  // the poll finds no device, after the link's retries
    EXPECT_EQ(std::tuple(notifier.messages, session.state(), view.prompt, view.result,
                         view.timerMs.has_value(), log.lines.back()),
              std::tuple(std::vector{unplugged}, CaptureState::Stopped, plugIn, std::string(),
                         false, std::string("USB Send Error")));
    session.deviceLeft();  // the watcher's word comes after: nothing more is said
    session.close();
    EXPECT_EQ(std::tuple(notifier.messages.size(), model.occupiedCount()), std::tuple(1u, 1u));
}

TEST_F(Capture, aReceiverThatLeavesAfterAConfirmationLeavesTheCodeForClose) {
    pressNec("OK");
    pressNec("OK");
    const std::string code = view.result;
    receiver.clearTraffic();
    receiver.unplug();
    session.deviceLeft();
    EXPECT_EQ(std::tuple(notifier.messages.size(), session.state(), view.nextEnabled, view.result),
              std::tuple(1u, CaptureState::Confirmed, false, code));
    session.next();  // disabled
    session.close();
    EXPECT_EQ(
        std::tuple(notifier.messages.size(), model.occupiedCount(), receiver.traffic().size()),
        std::tuple(1u, 1u, 0u));
}

TEST_F(Capture, anOversizedDataLengthTakesOnlyWhatTheReplyHoldsAndMissingHighPeriodsCountAsZero) {
    // The device announces 0xFFFE bytes; 251 entries fit the 512-byte report. The periods behind
    // the real 34 read as 0 and do not disturb the decode.
    receiver.faults().oversizedLength = 0xFFFE;
    pressNec("Power");
    EXPECT_EQ(std::tuple(session.state(), session.firstCapture()->pairCount,
                         session.firstCapture()->codeValue),
              std::tuple(CaptureState::SecondPress, 250, kPowerCode));
}

}  // namespace
}  // namespace tessik::test
