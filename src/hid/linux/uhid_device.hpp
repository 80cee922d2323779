#pragma once
// A HID device served from user space through Linux's /dev/uhid: the kernel creates a real
// hidraw node (with its sysfs entries and feature-report ioctls) and hands every report request
// for it to this process, which answers it. tessik-sim puts the simulated receiver on the
// machine's HID stack this way.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace tessik::hid {

struct UhidIdentity {
    std::string name;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::vector<std::uint8_t> reportDescriptor;
};

// The receiver's report descriptors, as the device declares them: in its normal mode a keyboard
// (report ID 2) for the keys it types and a vendor collection whose feature report 1 carries the
// command frames; in its boot loader one vendor collection with 64-byte input and output
// reports and the feature report. `featureReportLength` counts the report ID (512, 273).
std::vector<std::uint8_t> receiverReportDescriptor(std::size_t featureReportLength);
std::vector<std::uint8_t> bootLoaderReportDescriptor(std::size_t featureReportLength);

// Why `node` cannot be the uhid control node (it is not there, or not the kernel's uhid
// character device), or empty when it can.
std::string uhidNodeProblem(const std::string& node);

class UhidDevice {
  public:
    // Answers a feature report request: `report` holds the report ID in byte 0 (and, for a set,
    // the data the host sent); a get fills it. False: the request fails with an I/O error.
    using GetFeature = std::function<bool(std::vector<std::uint8_t>& report)>;
    using SetFeature = std::function<bool(std::span<const std::uint8_t> report)>;

    UhidDevice() = default;
    ~UhidDevice();
    UhidDevice(const UhidDevice&) = delete;
    UhidDevice& operator=(const UhidDevice&) = delete;

    // Opens /dev/uhid (or `node`) and creates the device. False with the reason in `error`,
    // also when the node is not the kernel's uhid device.
    bool create(const UhidIdentity& identity, std::string& error,
                const std::string& node = "/dev/uhid");
    // Removes the device from the bus (closing the control node does it as well).
    void destroy();
    bool created() const { return fd_ >= 0; }

    // Waits up to `timeoutMs` for the kernel's requests and answers each. False when the control
    // node failed (the device is gone then).
    bool serve(int timeoutMs, const GetFeature& get, const SetFeature& set);

  private:
    int fd_ = -1;
};

}  // namespace tessik::hid
