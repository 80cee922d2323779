#include "core/procedures/set_up_data.hpp"

#include <string>

#include "core/text/strings.hpp"

namespace tessik {
namespace {

// The run stops at the first command the receiver did not acknowledge: once it is gone or
// refuses, every further command would fail the same way, and a run that stopped half-way must
// never end in "Success".
SetUpResult failed(Notifier& notifier, Language language, std::size_t acknowledged) {
    notifier.show(
        Message{"", std::string(text(StringId::SetUpFailed, language)), MessageKind::Warning});
    return {SetUpOutcome::Failed, acknowledged};
}

}  // namespace

SetUpResult runSetUpData(DeviceCommands& commands, const RemoteModel& model, Notifier& notifier,
                         Language language, const SetUpProgress& progress) {
    auto report = [&progress](int position) {
        if (progress) progress(position);
    };
    if (!commands.SetIrCode(model.header(), model.jitterPercent())) {
        return {SetUpOutcome::IrCodeFailed, 0};
    }
    std::size_t acknowledged = 1;
    report(0);
    // Empty slots and unregistered macros are sent too, so the receiver forgets whatever an
    // earlier table left in them.
    for (std::size_t slot = 0; slot < kButtonSlots; ++slot) {
        if (!commands.SetReturnCode(slot, model.buttons()[slot].code)) {
            return failed(notifier, language, acknowledged);
        }
        ++acknowledged;
        report(static_cast<int>(slot) + 1);
    }
    for (std::size_t m = 0; m < kMacroSlots; ++m) {
        if (!commands.SetMacro(m, model.macros()[m]))
            return failed(notifier, language, acknowledged);
        ++acknowledged;
        report(static_cast<int>(kButtonSlots + 1 + m));
    }
    if (!commands.Save()) return failed(notifier, language, acknowledged);
    ++acknowledged;
    report(kSetUpProgressDone);
    notifier.show(
        Message{"", std::string(text(StringId::SetUpSucceeded, language)), MessageKind::Notice});
    return {SetUpOutcome::Succeeded, acknowledged};
}

}  // namespace tessik
