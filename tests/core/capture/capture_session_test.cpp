// The capture session against the simulated receiver: presses as people make them, the
// refusals, capturing a row again, Next and Close.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "core/capture/texts.hpp"
#include "core/ir/decoders.hpp"
#include "core/text/strings.hpp"
#include "support/capture_fixture.hpp"

namespace tessik::test {
namespace {

using ::testing::ElementsAre;

// NEC address 0x5E, command 0x08, each byte sent least significant bit first: the bytes read
// 7A 85 10 EF, and type 1 holds each of them twice.
constexpr std::uint64_t kPowerCode = 0x7A7A85851010EFEFull;

sim::IrSignal nec(std::string_view button) {
    return *sim::necTvRemote().signal(button);
}

sim::IrSignal firstEntries(sim::IrSignal s, std::size_t n) {
    s.low.resize(n);
    s.high.resize(n);
    return s;
}

// When entry `n` of a signal sent at 0 has arrived, in microseconds.
std::uint32_t arrivedUs(const sim::IrSignal& s, std::size_t n) {
    std::uint32_t t = 0;
    for (std::size_t i = 0; i < n; ++i)
        t += s.low[i] + s.high[i];
    return t;
}

struct Capture : CaptureFixture {
    explicit Capture(std::optional<std::size_t> recapture = std::nullopt)
        : CaptureFixture({}, recapture) {}
    static std::string str(StringId id) { return std::string(text(id, Language::English)); }
    static Message box(StringId id, MessageKind kind = MessageKind::Notice, std::string more = {}) {
        return {"", str(id) + (more.empty() ? "" : "\n" + more), kind};
    }
    // The state, the prompt, the result and whether the poll timer runs.
    auto shown() const {
        return std::tuple(session.state(), view.prompt, view.result, view.timerMs.has_value());
    }
    // The press was refused with `refusal`: back to waiting for a first press.
    void expectRefused(const Message& refusal) {
        EXPECT_THAT(notifier.messages, ElementsAre(refusal));
        EXPECT_EQ(std::tuple(session.state(), view.timerMs.has_value()),
                  std::tuple(CaptureState::FirstPress, true));
        notifier.messages.clear();
    }
    long fetches() const { return std::count(log.lines.begin(), log.lines.end(), "Start Capture"); }
};

TEST_F(Capture, twoMatchingPressesAreConfirmedAndNextStoresTheCodeWithTheCommentTypedFirst) {
    const auto waiting = std::tuple(CaptureState::FirstPress, str(StringId::CapturePrompt),
                                    str(StringId::FirstPressStandby), true);
    EXPECT_EQ(shown(), waiting);
    view.type(u"Power button");
    reception.press(sim::necTvRemote(), "Power");
    tick();  // the press is there: it is said at once, and read at the next poll
    EXPECT_EQ(view.prompt, captureText(CaptureText::Arriving, Language::English));
    tick();
    EXPECT_EQ(shown(), std::tuple(CaptureState::SecondPress, str(StringId::SecondPressPrompt),
                                  str(StringId::SecondPressStandby), true));
    pressNec("Power");
    EXPECT_EQ(shown(), std::tuple(CaptureState::Confirmed, str(StringId::ReadingCompleted),
                                  std::string("0x7A7A85851010EFEF"), false));
    EXPECT_EQ(std::tuple(view.nextEnabled, view.commentFocused, view.comment(),
                         notifier.messages.empty()),
              std::tuple(true, true, u"Power button", true));

    session.next();
    EXPECT_EQ(std::tuple(model.buttons()[0].code.codeValue, model.buttons()[0].text.comment,
                         model.modified(), model.header().leaderLow.max),
              std::tuple(kPowerCode, u"Power button", true, 9000));
    EXPECT_EQ(std::tuple(shown(), view.nextEnabled, view.comment()),
              std::tuple(waiting, false, u""));

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

// Presses sent at their times (ms) while the session polls every 350 ms. Each is read whole and
// in the order it was made, or refused with one box; none is lost without a word, and no code
// is taken from part of a press.
TEST_F(Capture, pressesAreReadWholeInTheOrderTheyWereMade) {
    const sim::IrSignal power = nec("Power");
    const sim::IrSignal vol = *sim::sircTvRemote().signal("Vol+");
    const sim::IrSignal repeat = sim::necRepeatSignal();
    // The first 16 entries of a frame, the last of them without the pause that ends a press:
    // what a receiver shows that stopped recording in the middle of a frame.
    const sim::IrSignal cut = firstEntries(power, 16);
    // Ten entries, the last of them the silence that ends a press: too few for a frame.
    sim::IrSignal ten = firstEntries(power, 10);
    ten.high.back() = sim::kEndPause;
    // Sent so that the poll at 1050 ms sees 13 of its entries: as many as the SIRC press before
    // it, whose length a second press is fetched at.
    const auto straddling = static_cast<std::uint32_t>((1050000 - arrivedUs(power, 13)) / 1000);
    ASSERT_GT((straddling * 1000 + arrivedUs(power, 14)), 1050000u);

    struct Case {
        const char* what;
        std::vector<TimedPress> presses;
        CaptureState state;
        std::vector<Message> boxes;
        long fetches;
        std::uint32_t busyReads = 0;  // each exchange then waits 100 ms for its reply
    };
    using S = CaptureState;
    const Message differs = box(StringId::CodeDiffersFromFirst);
    const Message cutShort = box(StringId::TooFewEntries, MessageKind::Warning);
    // clang-format off
    const Case cases[] = {
        {"one press, read at the second poll that sees it",
         {{100, power}}, S::SecondPress, {}, 1},
        {"two presses 0.3 s apart are the first and the second",
         {{100, power}, {400, power}}, S::Confirmed, {}, 1},
        {"a press made as the first is read is read next",
         {{100, power}, {690, power}}, S::Confirmed, {}, 2},
        {"two buttons 0.3 s apart: the second is the second press",
         {{100, power}, {400, nec("Mute")}}, S::FirstPress, {differs}, 1},
        {"a held button's repeat codes are no presses",
         {{100, power}, {208, repeat}, {316, repeat}, {424, repeat}, {1500, power}},
         S::Confirmed, {}, 2},
        {"a press fetched while it arrives is read once it has come",
         {{100, vol}, {straddling, power}}, S::FirstPress, {differs}, 3},
        {"a frame that never ends is refused",
         {{100, cut}}, S::FirstPress, {cutShort}, 1},
        {"ten entries are no press",
         {{100, ten}}, S::FirstPress, {}, 0},
        // The second fetch's halves are read at 900 and 1000 ms; the press comes between.
        {"a press made during the fetch is read next",
         {{100, power}, {890, power}}, S::Confirmed, {}, 2, 1},
    };
    // clang-format on
    for (const Case& c : cases) {
        receiver.faults().busyReads = 0;
        ASSERT_TRUE(commands.CaptureMode(1));
        receiver.faults().busyReads = c.busyReads;
        session.shown();
        notifier.messages.clear();
        log.lines.clear();
        run(c.presses, 3000);
        EXPECT_EQ(std::tuple(session.state(), notifier.messages, fetches()),
                  std::tuple(c.state, c.boxes, c.fetches))
            << c.what;
        if (c.state == CaptureState::Confirmed) {
            EXPECT_EQ(session.heldRecord().codeValue, kPowerCode) << c.what;
        }
    }
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

    // The box names the row; a press made while it is up is read after it.
    teach("Power", u"power");
    notifier.whileShown = [this](const Message&) {
        reception.press(sim::necTvRemote(), "Mute");
        clock.advance(500);  // the box is read before it is closed
    };
    pressNec("Power");
    notifier.whileShown = nullptr;
    EXPECT_THAT(notifier.messages, ElementsAre(box(StringId::CodeAlreadyTaken, MessageKind::Notice,
                                                   "Stored as No 1 (power).")));
    EXPECT_EQ(session.state(), CaptureState::SecondPress);
    notifier.messages.clear();

    // 12-bit SIRC decodes to 11 bits: the last entry, which ends the frame, is not analysed.
    // Only row 1 stands in the way, so capturing it again is offered.
    session.shown();
    press(sim::sircTvRemote(), "Vol+");
    Message offer = box(StringId::CodeLengthDiffers, kWarning,
                        "This code is 11 bits long; No 1 is 32 bits long. If No 1 came from "
                        "another remote or a wrong press, capture it again.");
    offer.action = "&Re-capture No 1";
    expectRefused(offer);
    // Once slot 0 holds a code, the failed decode's bitCount 0 differs from its 32 bits.
    load(tooLong);
    expectRefused(box(StringId::CodeLengthDiffers, kWarning));

    // Close stores no first press, though the held record still holds it.
    pressNec("Mute");
    session.close();
    EXPECT_EQ(std::tuple(model.occupiedCount(), receiver.captureMode()), std::tuple(1u, false));
}

// Row 1 came from another remote, so every press of this one is refused for its length. The
// refusal offers to capture row 1 again: it keeps its keys and comment, and the capture of new
// rows goes on with the comment typed for the refused one.
TEST_F(Capture, theLengthRefusalOffersToCaptureRowOneAgain) {
    for (const char* button : {"Power", "Vol+"}) {
        press(sim::sircTvRemote(), button);
        press(sim::sircTvRemote(), button);
        view.type(u"power");
        session.next();
    }
    // Two rows in the way: capturing row 1 again would not help.
    pressNec("Power");
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].action, "");
    notifier.messages.clear();
    model.DeleteButton(1);
    model.storeButtonKeys(0, {{0x66}, 1, u"[POWER]", u"power"});

    view.type(u"menu");
    notifier.answers = {Answer::Action};
    pressNec("Power");
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].action, "&Re-capture No 1");
    EXPECT_EQ(std::tuple(session.recapturing(), view.prompt, view.comment()),
              std::tuple(std::optional<std::size_t>(0),
                         "Please push the remote control button for No 1.", u"power"));
    pressNec("Power");
    pressNec("Power");
    session.next();
    EXPECT_EQ(std::tuple(model.button(0).code.codeValue, model.button(0).code.keys[0],
                         model.button(0).text.comment, model.header().leaderLow.min,
                         model.occupiedCount()),
              std::tuple(kPowerCode, 0x66, u"power", 9000, 1u));
    EXPECT_EQ(std::tuple(session.recapturing(), session.state(), view.prompt, view.comment()),
              std::tuple(std::optional<std::size_t>(), CaptureState::FirstPress,
                         str(StringId::CapturePrompt), u"menu"));
}

struct Recapture : Capture {
    Recapture() : Capture(1) {}
};

// Edit > Re-capture on row 2: the rows' rules hold against the other rows, its own old code
// aside; once stored, only Close is left.
TEST_F(Recapture, aRowGetsItsNewCodeCheckedAgainstTheOtherRows) {
    const sim::IrSignal power = nec("Power");
    const sim::IrSignal mute = nec("Mute");
    model = modelWithButtons(3);
    rewrite(model, [&](RemoteTables& t) {
        t.buttons[1].code.codeValue = decodeCapture(power.low, power.high).codeValue;
        t.buttons[2].code.codeValue = decodeCapture(mute.low, mute.high).codeValue;
    });
    session.shown();
    EXPECT_EQ(std::tuple(view.prompt, view.comment()),
              std::tuple("Please push the remote control button for No 2.", u"comment B"));

    press(sim::sircTvRemote(), "Vol+");
    expectRefused(box(StringId::CodeLengthDiffers, MessageKind::Warning,
                      "This code is 11 bits long; No 1, 3 are 32 bits long."));
    pressNec("Mute");
    expectRefused(
        box(StringId::CodeAlreadyTaken, MessageKind::Notice, "Stored as No 3 (comment C)."));
    pressNec("Power");
    pressNec("Power");
    view.type(u"power");
    session.next();
    EXPECT_EQ(std::tuple(model.button(1).code.codeValue, model.button(1).text.sendText,
                         model.button(1).text.comment, model.occupiedCount()),
              std::tuple(kPowerCode, u"textb", u"power", 3u));
    EXPECT_EQ(std::tuple(session.state(), view.prompt, view.timerMs.has_value(), view.nextEnabled),
              std::tuple(CaptureState::Recaptured, "No 2 has its new code.", false, false));
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
    reception.press(sim::necTvRemote(), "Power");
    tick();  // as long as the first press: fetched at the first poll that sees it
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
    // The device announces 0xFFFE bytes; 251 entries fit the 512-byte report. The entries behind
    // the real 34 have no burst: the capture ends before them.
    receiver.faults().oversizedLength = 0xFFFE;
    pressNec("Power");
    EXPECT_EQ(std::tuple(session.state(), session.firstCapture()->pairCount,
                         session.firstCapture()->codeValue),
              std::tuple(CaptureState::SecondPress, 33, kPowerCode));
}

}  // namespace
}  // namespace tessik::test
