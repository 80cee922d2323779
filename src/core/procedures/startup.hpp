#pragma once
// The device search when the main window opens, and again whenever a receiver arrives or
// leaves while the tool runs.

#include <functional>
#include <optional>

#include "core/device/commands.hpp"
#include "core/device/device_outcome.hpp"
#include "core/device/notifier.hpp"
#include "core/device/usbhidioc.hpp"
#include "core/text/language.hpp"

namespace tessik {

enum class StartupFinding {
    Normal,         // found with product ID 0x0021
    Alternate,      // found with product ID 0x0019
    UpdateWaiting,  // only a device in its boot loader (0x0018)
    AccessDenied,   // a device of one of the three identities that this user may not open
    NotFound,
};

// Looks for 0x0021, then 0x0019, then 0x0018. For an update-waiting device, writes 0x07F7 and
// 0x0018 into the version area's uf_header vid and pid, so the firmware update tries
// that identity first. The link keeps the product ID it was found with.
StartupFinding searchDevice(CUsbhidioc& link, VersionArea& versionArea);

struct StartupResult {
    StartupFinding finding = StartupFinding::NotFound;
    // What became of Get Version; None when it was not asked (a device this user may not open:
    // asking could only repeat that).
    DeviceOutcome version;
    bool operator==(const StartupResult&) const = default;
};

// The whole start-up exchange: zero the version area, search, hand the finding to `found` (the
// window tells the user, startupNotice, and opens the firmware update for a device waiting in
// its boot loader), set the link back to 0x0021 and ask for the firmware version.
StartupResult runStartup(CUsbhidioc& link, DeviceCommands& commands, VersionArea& versionArea,
                         const std::function<void(StartupFinding)>& found);

// The search again after a receiver arrived or left, without telling anything: the version
// area holds the found receiver's firmware header afterwards (all zero when there is none).
StartupResult searchAgain(CUsbhidioc& link, DeviceCommands& commands, VersionArea& versionArea);

// What start-up tells about a finding: string 148 with caption "INFORMATION" for a device
// waiting in its boot loader, string 142 (not found) or 149 (no permission) with caption
// "Error"; nothing when a receiver was found.
std::optional<Message> startupNotice(StartupFinding finding, Language language);

}  // namespace tessik
