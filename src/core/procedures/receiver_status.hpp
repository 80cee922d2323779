#pragma once
// The receiver's state as the main window's status line shows it, kept up to date as receivers
// arrive and leave: connected (and its firmware), simulated, none, one this user may not open,
// one waiting in its boot loader.

#include <string>

#include "core/device/commands.hpp"
#include "core/procedures/startup.hpp"
#include "core/text/language.hpp"

namespace tessik {

enum class ReceiverState {
    Connected,
    NotConnected,
    NoPermission,
    UpdateWaiting,
};

// The state a search found.
ReceiverState receiverState(StartupFinding finding);

// "Receiver connected – firmware 1.2.3", "Simulated receiver – firmware 1.2.3", "No receiver
// connected", "Receiver found, but you may not open it (see Help)", "Receiver waiting for a
// firmware update". The firmware is that of the version area's header; without one (a receiver
// that did not answer Get Version) the line names none.
std::string receiverStatusText(ReceiverState state, bool simulated, const VersionArea& versionArea,
                               Language language);

}  // namespace tessik
