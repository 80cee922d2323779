#pragma once
// The machine's own HID devices, through whatever the system offers: hidraw on Linux
// (linux/hidraw_transport.cpp), the HID class driver on Windows (windows/hid_transport.cpp).

#include <memory>

#include "core/device/hid_transport.hpp"

namespace tessik::hid {

std::unique_ptr<HidTransport> makeSystemTransport();

}  // namespace tessik::hid
