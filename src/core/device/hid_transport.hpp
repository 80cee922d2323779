#pragma once
// The one door to HID devices. The real Linux transport (hidraw) and the simulated receiver
// both implement it; nothing else in the tool touches a device.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tessik {

struct HidDeviceInfo {
    std::string path;  // transport-specific: /dev/hidrawN, or a simulator's name
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    bool operator==(const HidDeviceInfo&) const = default;
};

// An opened device. Feature reports move whole: `featureReportLength()` bytes, byte 0 the
// report ID.
class HidDevice {
  public:
    virtual ~HidDevice() = default;

    // The length of the device's feature report, report ID byte included.
    virtual std::size_t featureReportLength() const = 0;

    // Sends report[0..featureReportLength) as a feature report; true when the platform
    // accepted all of it.
    virtual bool setFeature(std::span<const std::uint8_t> report) = 0;

    // Reads a feature report with ID report[0] into report[0..featureReportLength); true when
    // the platform delivered all of it.
    virtual bool getFeature(std::span<std::uint8_t> report) = 0;

    // The platform's text for the last failed call (what a user is shown).
    virtual std::string lastError() const = 0;
};

// Why open() gave nothing.
enum class OpenError {
    Unavailable,       // gone, held by another program, or not a device the tool can drive
    PermissionDenied,  // present, but this user may not open it (on Linux: no udev rule)
};

class HidTransport {
  public:
    virtual ~HidTransport() = default;

    // The present devices with this vendor and product ID, in enumeration order.
    virtual std::vector<HidDeviceInfo> enumerate(std::uint16_t vendorId,
                                                 std::uint16_t productId) = 0;

    // Opens a device found by enumerate; nullptr when it cannot be opened (permissions, held
    // by another program, gone).
    virtual std::unique_ptr<HidDevice> open(const HidDeviceInfo& info) = 0;

    // Why the last open() that gave nothing failed. Only a transport that can tell a refused
    // permission from absence needs to say.
    virtual OpenError lastOpenError() const { return OpenError::Unavailable; }
};

}  // namespace tessik
