#pragma once
// The machine's own HID devices, through whatever the system offers: hidraw on Linux
// (linux/hidraw_transport.cpp), the HID class driver on Windows (windows/hid_transport.cpp).

#include <memory>
#include <string>

#include "core/device/device_watcher.hpp"
#include "core/device/hid_transport.hpp"

namespace tessik::hid {

std::unique_ptr<HidTransport> makeSystemTransport();

// The system's own notice of receivers arriving and leaving (Linux: libudev's monitor), or
// nothing, with the reason in `why` where there should be one, when it cannot be had: the
// caller then compares enumerations instead.
std::unique_ptr<DeviceWatcher> makeSystemWatcher(std::string& why);

}  // namespace tessik::hid
