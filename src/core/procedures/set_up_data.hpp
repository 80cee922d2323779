#pragma once
// Set Up Data: writes the whole table into the receiver in one run. Set Ir Code (the timing
// windows), Set Return Code for every one of the 128 button slots, Set Macro for every one of
// the 10 macros, then Save, which makes the receiver keep what it was sent.

#include <cstddef>
#include <functional>

#include "core/device/commands.hpp"
#include "core/device/notifier.hpp"
#include "core/model/remote_model.hpp"
#include "core/text/language.hpp"

namespace tessik {

// The progress bar runs from 0 to 138 (128 slots and 10 macros); after Save it is set one past
// the end so that it shows full.
inline constexpr int kSetUpProgressMax = 138;
inline constexpr int kSetUpProgressDone = 139;
// The exchanges of a complete run: Set Ir Code, 128 Set Return Code, 10 Set Macro, Save.
inline constexpr std::size_t kSetUpExchanges = 1 + kButtonSlots + kMacroSlots + 1;

enum class SetUpOutcome {
    // Set Ir Code was not acknowledged: nothing more is sent and no box is shown; the link has
    // shown its own message and the log holds the fault.
    IrCodeFailed,
    // A later command was not acknowledged: the run stopped there with one "Failed" box.
    Failed,
    // Every exchange, Save included, was acknowledged: "Success".
    Succeeded,
};

struct SetUpResult {
    SetUpOutcome outcome = SetUpOutcome::IrCodeFailed;
    std::size_t acknowledged = 0;  // exchanges acknowledged before the run ended
    bool operator==(const SetUpResult&) const = default;
};

// Called with the progress position: 0 once Set Ir Code is through, i + 1 after slot i,
// 129 + m after macro m, kSetUpProgressDone after Save. A failed run leaves the position where
// it was.
using SetUpProgress = std::function<void(int position)>;

// Runs the sequence on `commands` from the model's tables and jitter. Message boxes (string 104
// with the warning icon, string 105 with the information icon) go through `notifier` in
// `language`.
SetUpResult runSetUpData(DeviceCommands& commands, const RemoteModel& model, Notifier& notifier,
                         Language language, const SetUpProgress& progress = {});

}  // namespace tessik
