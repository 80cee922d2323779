#pragma once
// The Windows transport: HID devices through the HID class driver.
//
// Devices are found through the set-up API (the present interfaces of the HID class), vendor
// and product come from HidD_GetAttributes, the feature report length from the collection's
// capabilities (HidP_GetCaps), and reports move with HidD_SetFeature / HidD_GetFeature.
//
// Windows shows each top-level collection of a device as a device of its own: the receiver's
// keyboard, which Windows keeps for itself and no program may open for reading or writing, and
// its settings collection, the one with feature reports. Only collections with a feature report
// are offered; the keyboard and every other vendor's device are passed over.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/device/hid_transport.hpp"

namespace tessik::hid {

// One present HID collection, as the search sees it.
struct HidCollection {
    std::string path;             // the interface path, UTF-8
    bool attributesRead = false;  // false: the path could not even be asked
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::size_t featureReportLength = 0;  // 0: no feature report (a keyboard, a mouse)
};

// Every present HID collection, in enumeration order.
std::vector<HidCollection> presentHidCollections();

class WindowsHidTransport : public HidTransport {
  public:
    // The collections with this vendor and product ID that have a feature report.
    std::vector<HidDeviceInfo> enumerate(std::uint16_t vendorId, std::uint16_t productId) override;

    // Opens the collection for reading and writing, shared with other programs. Nothing when it
    // cannot be opened (access denied gives PermissionDenied, as on Linux) or declares no
    // feature report.
    std::unique_ptr<HidDevice> open(const HidDeviceInfo& info) override;
    OpenError lastOpenError() const override { return lastOpenError_; }

  private:
    OpenError lastOpenError_ = OpenError::Unavailable;
};

}  // namespace tessik::hid
