#include "core/procedures/set_up_data.hpp"

#include <string>

#include "core/analysis/texts.hpp"
#include "core/text/bilingual.hpp"
#include "core/text/format.hpp"
#include "core/text/strings.hpp"

namespace tessik {
namespace {

// The exchange a run stopped at, by the command's own name, and its slot as the device numbers
// it with the number the lists show: "Set Return Code, slot 12 (No 13)".
std::string stepText(CommandCode command, std::size_t slot, Language language) {
    switch (command) {
        case CommandCode::SetReturnCode:
            return formatText(pick({"Set Return Code, slot %d (No %d), was not acknowledged.",
                                    "Set Return Code（スロット %d、No %d）が受け付けられません"
                                    "でした。"},
                                   language),
                              {slot, slot + 1});
        case CommandCode::SetMacro:
            return formatText(pick({"Set Macro, slot %d (macro %d), was not acknowledged.",
                                    "Set Macro（スロット %d、マクロ %d）が受け付けられません"
                                    "でした。"},
                                   language),
                              {slot, slot + 1});
        default:
            return std::string(pick(
                {"Save was not acknowledged.", "Save が受け付けられませんでした。"}, language));
    }
}

}  // namespace

// The run stops at the first command the receiver did not acknowledge: once it is gone or
// refuses, every further command would fail the same way, and a run that stopped half-way must
// never end in "Success".
SetUpResult runSetUpData(DeviceCommands& commands, const RemoteModel& model,
                         const SetUpProgress& progress) {
    auto report = [&progress](int position) {
        if (progress) progress(position);
    };
    std::size_t acknowledged = 0;
    auto failed = [&](SetUpOutcome outcome, CommandCode command, std::size_t slot = 0) {
        return SetUpResult{outcome, acknowledged, commands.outcome(), command, slot};
    };
    // What `check` refuses is never sent: windows that overlap would make the receiver take
    // one symbol for another.
    if (!overlapRefusalText(model.header(), model.jitterPercent(), Language::English).empty()) {
        return SetUpResult{SetUpOutcome::WindowsOverlap, 0, {}, CommandCode::SetIrCode, 0};
    }
    if (!commands.SetIrCode(model.header(), model.jitterPercent())) {
        return failed(SetUpOutcome::IrCodeFailed, CommandCode::SetIrCode);
    }
    ++acknowledged;
    report(0);
    // Empty slots and unregistered macros are sent too, so the receiver forgets whatever an
    // earlier table left in them.
    for (std::size_t slot = 0; slot < kButtonSlots; ++slot) {
        if (!commands.SetReturnCode(slot, model.buttons()[slot].code)) {
            return failed(SetUpOutcome::Failed, CommandCode::SetReturnCode, slot);
        }
        ++acknowledged;
        report(static_cast<int>(slot) + 1);
    }
    for (std::size_t m = 0; m < kMacroSlots; ++m) {
        if (!commands.SetMacro(m, model.macros()[m])) {
            return failed(SetUpOutcome::Failed, CommandCode::SetMacro, m);
        }
        ++acknowledged;
        report(static_cast<int>(kButtonSlots + 1 + m));
    }
    if (!commands.Save()) return failed(SetUpOutcome::Failed, CommandCode::Save);
    ++acknowledged;
    report(kSetUpProgressDone);
    return SetUpResult{SetUpOutcome::Succeeded, acknowledged, {}, CommandCode::Save, 0};
}

std::optional<Message> setUpVerdict(const SetUpResult& result, const RemoteModel& model,
                                    Language language) {
    switch (result.outcome) {
        case SetUpOutcome::WindowsOverlap:
            return Message{"", overlapRefusalText(model.header(), model.jitterPercent(), language),
                           MessageKind::Warning};
        case SetUpOutcome::IrCodeFailed:
            return std::nullopt;
        case SetUpOutcome::Failed:
            return Message{"",
                           std::string(text(StringId::SetUpFailed, language)) + "\n" +
                               stepText(result.command, result.slot, language),
                           MessageKind::Warning};
        case SetUpOutcome::Succeeded:
            break;
    }
    return Message{"", std::string(text(StringId::SetUpSucceeded, language)), MessageKind::Notice};
}

}  // namespace tessik
