#include "core/procedures/set_up_data.hpp"

#include <string>

#include "core/text/strings.hpp"

namespace tessik {

// The run stops at the first command the receiver did not acknowledge: once it is gone or
// refuses, every further command would fail the same way, and a run that stopped half-way must
// never end in "Success".
SetUpResult runSetUpData(DeviceCommands& commands, const RemoteModel& model,
                         const SetUpProgress& progress) {
    auto report = [&progress](int position) {
        if (progress) progress(position);
    };
    std::size_t acknowledged = 0;
    auto failed = [&](SetUpOutcome outcome) {
        return SetUpResult{outcome, acknowledged, commands.outcome()};
    };
    if (!commands.SetIrCode(model.header(), model.jitterPercent())) {
        return failed(SetUpOutcome::IrCodeFailed);
    }
    ++acknowledged;
    report(0);
    // Empty slots and unregistered macros are sent too, so the receiver forgets whatever an
    // earlier table left in them.
    for (std::size_t slot = 0; slot < kButtonSlots; ++slot) {
        if (!commands.SetReturnCode(slot, model.buttons()[slot].code)) {
            return failed(SetUpOutcome::Failed);
        }
        ++acknowledged;
        report(static_cast<int>(slot) + 1);
    }
    for (std::size_t m = 0; m < kMacroSlots; ++m) {
        if (!commands.SetMacro(m, model.macros()[m])) return failed(SetUpOutcome::Failed);
        ++acknowledged;
        report(static_cast<int>(kButtonSlots + 1 + m));
    }
    if (!commands.Save()) return failed(SetUpOutcome::Failed);
    ++acknowledged;
    report(kSetUpProgressDone);
    return SetUpResult{SetUpOutcome::Succeeded, acknowledged, {}};
}

std::optional<Message> setUpVerdict(const SetUpResult& result, Language language) {
    switch (result.outcome) {
        case SetUpOutcome::IrCodeFailed:
            return std::nullopt;
        case SetUpOutcome::Failed:
            return Message{"", std::string(text(StringId::SetUpFailed, language)),
                           MessageKind::Warning};
        case SetUpOutcome::Succeeded:
            break;
    }
    return Message{"", std::string(text(StringId::SetUpSucceeded, language)), MessageKind::Notice};
}

}  // namespace tessik
