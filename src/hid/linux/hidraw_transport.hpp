#pragma once
// The Linux transport: HID devices through hidraw.
//
// Devices are found in sysfs (<sysfs>/class/hidraw/hidrawN; vendor and product from the HID_ID
// line of device/uevent), their feature report length is worked out from the report descriptor
// (device/report_descriptor, or the HIDIOCGRDESC ioctl when sysfs does not offer it), and
// reports move with HIDIOCSFEATURE / HIDIOCGFEATURE on <dev>/hidrawN. Both roots are
// parameters so that enumeration can run on a fake tree.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/device/hid_transport.hpp"

namespace tessik::hid {

struct HidId {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

// The vendor and product from a HID device's uevent text ("HID_ID=0003:000007F7:00000021").
std::optional<HidId> parseHidIdFromUevent(std::string_view uevent);

class HidrawTransport : public HidTransport {
  public:
    explicit HidrawTransport(std::filesystem::path sysfsRoot = "/sys",
                             std::filesystem::path devRoot = "/dev");

    // The hidraw nodes whose HID_ID matches, in node-number order (hidraw2 before hidraw10).
    std::vector<HidDeviceInfo> enumerate(std::uint16_t vendorId, std::uint16_t productId) override;

    // Opens the node for reading and writing. Nothing when it cannot be opened (no permission:
    // see the udev rule shipped with the tool) or its descriptor declares no feature report 1.
    std::unique_ptr<HidDevice> open(const HidDeviceInfo& info) override;
    OpenError lastOpenError() const override { return lastOpenError_; }

    // The feature report length for report ID 1 that sysfs' copy of the node's report
    // descriptor declares (the node named like the last part of `devicePath`).
    std::optional<std::size_t> sysfsFeatureReportLength(
        const std::filesystem::path& devicePath) const;

  private:
    std::filesystem::path sysfsRoot_;
    std::filesystem::path devRoot_;
    OpenError lastOpenError_ = OpenError::Unavailable;
};

// A hidraw node with nothing between the caller and the kernel: one HIDIOCSFEATURE and one
// HIDIOCGFEATURE per round trip, no retries, no checks beyond the byte counts. What the kernel
// itself costs, for measuring the tool's overhead against it.
class BareHidrawNode {
  public:
    explicit BareHidrawNode(const std::filesystem::path& node);
    ~BareHidrawNode();
    BareHidrawNode(const BareHidrawNode&) = delete;
    BareHidrawNode& operator=(const BareHidrawNode&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    bool roundTrip(std::span<std::uint8_t> set, std::span<std::uint8_t> get);

  private:
    int fd_ = -1;
};

}  // namespace tessik::hid
