// Set Up Data end to end against the simulated receiver.

#include <gtest/gtest.h>

#include <numeric>
#include <tuple>

#include "core/procedures/set_up_data.hpp"
#include "core/text/strings.hpp"
#include "support/device_fixture.hpp"
#include "support/model_builders.hpp"

namespace tessik::test {
namespace {

const Message kFailedBox{"", "Failed", MessageKind::Warning};
const Message kSuccessBox{"", "Success", MessageKind::Notice};

struct SetUp : DeviceFixture {
    SetUp() : model(modelWithButtons(6)) {
        test::rewrite(model, [](RemoteTables& t) {
            t.macros[0] = macroNamed(u"Movie", 3);
            t.macros[0].interval = 250;
            t.macros[4] = macroNamed(u"Off", 1);
            referToMacro(t, 2, 0);
            t.jitterPercent = 15;
        });
    }
    // A run, and the boxes the window shows after it: the failed exchange's, then the run's.
    SetUpResult run(DeviceRig& rig, Language language = Language::English) {
        rig.notifier.messages.clear();
        progress.clear();
        const SetUpResult result =
            runSetUpData(rig.commands, model, [this](int p) { progress.push_back(p); });
        showDeviceOutcome(rig.notifier, result.device, language);
        if (const auto verdict = setUpVerdict(result, model, language)) rig.notifier.show(*verdict);
        return result;
    }
    RemoteModel model;
    std::vector<int> progress;
};

std::vector<int> positions(std::size_t n) {
    std::vector<int> p(n);
    std::iota(p.begin(), p.end(), 0);
    return p;
}

TEST_F(SetUp, aFullRunLeavesTheReceiverHoldingExactlyTheModel) {
    EXPECT_EQ(run(*this),
              (SetUpResult{SetUpOutcome::Succeeded, kSetUpExchanges, {}, CommandCode::Save}));
    EXPECT_EQ(notifier.messages, std::vector<Message>{kSuccessBox});
    EXPECT_EQ(std::tuple(progress.size(), progress.back()),
              std::tuple(kSetUpProgressMax + 2u, kSetUpProgressDone));
    // Empty slots and macros are sent too, overwriting what an earlier table left there.
    EXPECT_EQ(std::tuple(receiver.exchangeCount(), log.lines.size()), std::tuple(140u, 140u));
    EXPECT_EQ(clock.totalSlept(), kSaveReplyWaitMs);  // only Save is waited for
    ASSERT_EQ(receiver.savedTable(), receiver.table());

    const sim::DeviceTable& held = receiver.savedTable();
    // The model's windows widened by its 15 % jitter: 9000 × 1.15, 555 × 0.85 truncated.
    EXPECT_EQ(
        std::tuple(held.timing().leaderLow.max, held.timing().low.min, held.timing().bitCount),
        std::tuple(10350, 471, 32));
    // The macro reference in slot 2, macro 0's interval and last command.
    EXPECT_EQ(std::tuple(held.returnCode(2), held.macro(0).interval, held.macro(0).commands[2]),
              std::tuple(sim::ReturnCodeEntry{model.buttons()[2].code.codeBytes,
                                              model.buttons()[2].code.keys},
                         250, model.macros()[0].commands[2].keys));
}

// The first exchange that fails ends the run: its own box, then one "Failed" naming the command
// and the slot it stopped at (none when Set Ir Code, the first, fails), no Save, and a second run
// succeeds once the device answers again.
TEST_F(SetUp, theFirstFailedExchangeEndsTheRunAndASecondRunSucceeds) {
    const Message nak = linkBox(DeviceError::Nak);
    const DeviceOutcome refused{DeviceError::Nak, ""};
    const std::string gone = platformText(std::errc::no_such_device);
    const struct {
        const char* fault;  // as --sim-fault names it
        SetUpResult result;
        Message linkBox;
        const char* step;  // what the "Failed" box names after its first line; none without it
    } cases[] = {
        {"nak=0x25",
         {SetUpOutcome::IrCodeFailed, 0, refused, CommandCode::SetIrCode},
         nak,
         nullptr},
        {"nak-exchange=130",
         {SetUpOutcome::Failed, 129, refused, CommandCode::SetMacro, 0},
         nak,
         "Set Macro, slot 0 (macro 1), was not acknowledged."},
        {"nak=0x29",
         {SetUpOutcome::Failed, 139, refused, CommandCode::Save},
         nak,
         "Save was not acknowledged."},
        {"unplug-after=20",
         {SetUpOutcome::Failed,
          20,
          {DeviceError::DeviceGone, gone},
          CommandCode::SetReturnCode,
          19},
         errorBox(gone),
         "Set Return Code, slot 19 (No 20), was not acknowledged."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        DeviceRig d;
        std::string error;
        ASSERT_TRUE(d.receiver.applyFault(c.fault, error)) << error;
        EXPECT_EQ(run(d), c.result);
        std::vector<Message> boxes{c.linkBox};
        if (c.step) boxes.push_back({"", kFailedBox.text + "\n" + c.step, MessageKind::Warning});
        EXPECT_EQ(d.notifier.messages, boxes);
        EXPECT_EQ(progress, positions(c.result.acknowledged));
        const bool refused = c.linkBox == nak;
        EXPECT_EQ(d.receiver.exchangeCount(), c.result.acknowledged + (refused ? 1 : 0));
        EXPECT_EQ(d.receiver.savedTable(), sim::DeviceTable{});
        EXPECT_EQ(d.link.connected(), refused);

        d.receiver.faults() = sim::Faults{};
        d.receiver.plug();
        EXPECT_EQ(run(d).outcome, SetUpOutcome::Succeeded);
        EXPECT_EQ(d.notifier.messages, std::vector<Message>{kSuccessBox});
    }
}

}  // namespace
}  // namespace tessik::test
