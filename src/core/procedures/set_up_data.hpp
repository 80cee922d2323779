#pragma once
// Set Up Data: writes the whole table into the receiver in one run. Set Ir Code (the timing
// windows), Set Return Code for every one of the 128 button slots, Set Macro for every one of
// the 10 macros, then Save, which makes the receiver keep what it was sent.

#include <cstddef>
#include <functional>
#include <optional>

#include "core/device/commands.hpp"
#include "core/device/device_outcome.hpp"
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
    // The windows at the table's jitter overlap: the receiver could not tell the symbols apart.
    // Nothing is sent; the verdict says which pair overlaps and which jitter would do.
    WindowsOverlap,
    // Set Ir Code was not acknowledged: nothing more is sent. Only the exchange's own outcome
    // is told; the log holds the fault.
    IrCodeFailed,
    // A later command was not acknowledged: the run stopped there ("Failed", then the command
    // and the slot it stopped at).
    Failed,
    // Every exchange, Save included, was acknowledged ("Success").
    Succeeded,
};

struct SetUpResult {
    SetUpOutcome outcome = SetUpOutcome::IrCodeFailed;
    std::size_t acknowledged = 0;  // exchanges acknowledged before the run ended
    DeviceOutcome device;          // what became of the exchange that ended a failed run
    // The command the run ended with, and its slot (the button or macro slot).
    CommandCode command = CommandCode::SetIrCode;
    std::size_t slot = 0;
    bool operator==(const SetUpResult&) const = default;
};

// Called with the progress position: 0 once Set Ir Code is through, i + 1 after slot i,
// 129 + m after macro m, kSetUpProgressDone after Save. A failed run leaves the position where
// it was.
using SetUpProgress = std::function<void(int position)>;

// Runs the sequence on `commands` from the model's tables and jitter.
SetUpResult runSetUpData(DeviceCommands& commands, const RemoteModel& model,
                         const SetUpProgress& progress = {});

// The box that ends a run, after the failed exchange's own (deviceOutcomeBox): string 104
// "Failed" and the step it stopped at with the warning icon, string 105 "Success" with the
// information icon, the overlapping windows of `model` with the warning icon; none when Set Ir
// Code failed.
std::optional<Message> setUpVerdict(const SetUpResult& result, const RemoteModel& model,
                                    Language language);

}  // namespace tessik
