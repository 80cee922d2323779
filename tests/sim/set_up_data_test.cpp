// Set Up Data end to end against the simulated receiver.

#include <gtest/gtest.h>

#include "core/programming/set_up_data.hpp"
#include "core/text/strings.hpp"
#include "sim/device_fixture.hpp"
#include "support/model_builders.hpp"

namespace tessik::test {
namespace {

const Message kFailedBox{"", "Failed", MessageKind::Warning};
const Message kSuccessBox{"", "Success", MessageKind::Notice};

struct SetUp : DeviceFixture {
    SetUp() : model(modelWithButtons(6)) {
        model.macros[0] = macroNamed(u"Movie", 3);
        model.macros[0].interval = 250;
        model.macros[4] = macroNamed(u"Off", 1);
        referToMacro(model, 2, 0);
        model.jitterPercent = 15;
    }
    SetUpResult run() {
        return runSetUpData(commands, model, notifier, Language::English,
                            [this](int p) { progress.push_back(p); });
    }
    RemoteModel model;
    std::vector<int> progress;
};

std::vector<int> fullProgress() {
    std::vector<int> p;
    for (int i = 0; i <= kSetUpProgressMax; ++i)
        p.push_back(i);
    p.push_back(kSetUpProgressDone);
    return p;
}

TEST_F(SetUp, aFullRunLeavesTheReceiverHoldingExactlyTheModel) {
    EXPECT_EQ(run(), (SetUpResult{SetUpOutcome::Succeeded, kSetUpExchanges}));
    EXPECT_EQ(notifier.messages, std::vector<Message>{kSuccessBox});
    EXPECT_EQ(progress, fullProgress());
    EXPECT_EQ(receiver.exchangeCount(), 140u);
    ASSERT_EQ(receiver.savedTable(), receiver.table());

    const sim::DeviceTable& held = receiver.savedTable();
    const RemoteHeader& h = model.header;
    const std::int32_t j = model.jitterPercent;
    const sim::TimingWindows expected{h.format,
                                      0,
                                      h.pairCount,
                                      widenByJitter(h.leaderHigh.max, j),
                                      narrowByJitter(h.leaderHigh.min, j),
                                      widenByJitter(h.leaderLow.max, j),
                                      narrowByJitter(h.leaderLow.min, j),
                                      widenByJitter(h.one.max, j),
                                      widenByJitter(h.low.max, j),
                                      widenByJitter(h.high.max, j),
                                      narrowByJitter(h.one.min, j),
                                      narrowByJitter(h.low.min, j),
                                      narrowByJitter(h.high.min, j),
                                      h.bitCount};
    EXPECT_EQ(held.timing(), expected);
    // necLikeCode: leader 9000 high at most, one 1690, so the windows are really widened.
    EXPECT_EQ(held.timing().leaderLowMax, 10350);  // 9000 × 1.15
    for (std::size_t s = 0; s < kButtonSlots; ++s) {
        const CodeRecord& c = model.buttons[s].code;
        EXPECT_EQ(held.returnCode(s), (sim::ReturnCodeEntry{c.codeBytes, c.keys})) << s;
    }
    for (std::size_t m = 0; m < kMacroSlots; ++m) {
        sim::MacroEntry e{model.macros[m].interval, {}};
        for (std::size_t c = 0; c < kMacroCommands; ++c)
            e.commands[c] = model.macros[m].commands[c].keys;
        EXPECT_EQ(held.macro(m), e) << m;
    }
    EXPECT_EQ(held.returnCode(2).keys[0], kMacroMarker);
}

TEST_F(SetUp, logsOneLinePerExchangeAndWaitsOnlyForSave) {
    run();
    std::vector<std::string> expected{"Send Set Ir Code Command Success"};
    expected.insert(expected.end(), 128, "Send Set Return Code Command Success");
    expected.insert(expected.end(), 10, "Send Set Macro Command Success");
    expected.push_back("Send Save Command Success");
    EXPECT_EQ(log.lines, expected);
    EXPECT_EQ(clock.totalSlept(), kSaveReplyWaitMs);
}

TEST_F(SetUp, anEmptyTableStillSendsEverySlotAndMacro) {
    receiver.table().returnCodes[7].fill(0x55);  // left from an earlier table
    model = RemoteModel{};
    EXPECT_EQ(run().outcome, SetUpOutcome::Succeeded);
    EXPECT_EQ(receiver.exchangeCount(), 140u);
    EXPECT_EQ(receiver.savedTable().returnCode(7), sim::ReturnCodeEntry{});
}

TEST_F(SetUp, aDeviceStillWritingItsFlashWhenSaveIsReadIsWaitedFor) {
    sim::SimulatedReceiver slow(clock, {.saveDurationMs = 2500});
    CUsbhidioc slowLink(slow.transport(), clock, notifier);
    DeviceCommands slowCommands(slowLink, clock, log);
    EXPECT_EQ(runSetUpData(slowCommands, model, notifier, Language::English).outcome,
              SetUpOutcome::Succeeded);
    EXPECT_EQ(clock.totalSlept(), kSaveReplyWaitMs + 5 * kRetryPauseMs);
}

TEST_F(SetUp, theFirstRefusedSlotEndsTheRunWithOneFailedBox) {
    receiver.faults().nakExchange = 6;  // Set Ir Code, slots 0..3, then slot 4
    const SetUpResult r = run();
    EXPECT_EQ(r, (SetUpResult{SetUpOutcome::Failed, 5}));
    EXPECT_EQ(notifier.messages, (std::vector<Message>{errorBox(kLinkNakText), kFailedBox}));
    EXPECT_EQ(progress, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(receiver.exchangeCount(), 6u);
    EXPECT_EQ(receiver.savedTable(), sim::DeviceTable{});  // no Save
}

TEST_F(SetUp, aRefusedMacroEndsTheRunWithOneFailedBox) {
    receiver.faults().nakCode = 0x27;
    EXPECT_EQ(run(), (SetUpResult{SetUpOutcome::Failed, 129}));
    EXPECT_EQ(notifier.messages, (std::vector<Message>{errorBox(kLinkNakText), kFailedBox}));
    EXPECT_EQ(progress.back(), 128);
}

TEST_F(SetUp, aRefusedSaveIsAFailureNotASuccess) {
    receiver.faults().nakCode = 0x29;
    EXPECT_EQ(run(), (SetUpResult{SetUpOutcome::Failed, 139}));
    EXPECT_EQ(notifier.messages, (std::vector<Message>{errorBox(kLinkNakText), kFailedBox}));
    EXPECT_EQ(progress.back(), kSetUpProgressMax);
    EXPECT_EQ(receiver.savedTable(), sim::DeviceTable{});
}

TEST_F(SetUp, aRefusedSetIrCodeEndsSilentlyBeforeAnythingElse) {
    receiver.faults().nakCode = 0x25;
    EXPECT_EQ(run(), (SetUpResult{SetUpOutcome::IrCodeFailed, 0}));
    EXPECT_EQ(notifier.messages, std::vector<Message>{errorBox(kLinkNakText)});
    EXPECT_TRUE(progress.empty());
    EXPECT_EQ(receiver.exchangeCount(), 1u);
}

TEST_F(SetUp, aDeviceThatVanishesMidRunGivesOneFailedBoxAndASecondRunSucceeds) {
    receiver.faults().unplugAfter = 20;
    EXPECT_EQ(run(), (SetUpResult{SetUpOutcome::Failed, 20}));
    EXPECT_EQ(
        notifier.messages,
        (std::vector<Message>{errorBox(std::make_error_code(std::errc::no_such_device).message()),
                              kFailedBox}));
    EXPECT_EQ(progress.back(), 19);
    EXPECT_FALSE(link.connected());

    receiver.plug();
    notifier.messages.clear();
    progress.clear();
    EXPECT_EQ(run().outcome, SetUpOutcome::Succeeded);
    EXPECT_EQ(notifier.messages, std::vector<Message>{kSuccessBox});
}

TEST_F(SetUp, japaneseBoxesUseTheJapaneseTexts) {
    receiver.faults().nakCode = 0x26;
    runSetUpData(commands, model, notifier, Language::Japanese);
    EXPECT_EQ(notifier.messages.back().text, text(StringId::SetUpFailed, Language::Japanese));
}

}  // namespace
}  // namespace tessik::test
