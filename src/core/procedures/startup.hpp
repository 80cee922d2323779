#pragma once
// The device search when the main window opens.

#include <functional>

#include "core/device/commands.hpp"
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

// The whole start-up exchange: zero the version area, search, tell the user (string 148 with
// caption "INFORMATION", then `runFirmwareUpdate`; or string 142 with caption "Error"), set the
// link back to 0x0021 and ask for the firmware version. A device this user may not open gets
// string 149 with caption "Error" instead, and no version request, which could only repeat it.
StartupFinding runStartup(CUsbhidioc& link, DeviceCommands& commands, Notifier& notifier,
                          VersionArea& versionArea, Language language,
                          const std::function<void()>& runFirmwareUpdate);

}  // namespace tessik
