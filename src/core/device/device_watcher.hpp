#pragma once
// Receivers arriving on the bus and leaving it while the tool runs. Each platform watches in
// its own way behind this one seam; the window turns what it reports into its status line and
// its link's state, the command line into one line per change.
//
// How the event loop learns that there is something to read depends on the watcher:
//  - descriptor() >= 0: that descriptor turns readable (Linux: the udev monitor's socket);
//  - pollIntervalMs() > 0: changes() is asked that often (a watcher that compares enumerations);
//  - neither: the platform's own notification wakes the caller, which then asks changes()
//    (Windows: WM_DEVICECHANGE for the HID interface class, registered with
//    RegisterDeviceNotification and received through the application's native event filter).

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/device/hid_transport.hpp"

namespace tessik {

enum class DeviceChangeKind { Arrived, Left };

struct DeviceChange {
    DeviceChangeKind kind = DeviceChangeKind::Arrived;
    HidDeviceInfo device;
    bool operator==(const DeviceChange&) const = default;
};

class DeviceWatcher {
  public:
    virtual ~DeviceWatcher() = default;
    // The receivers on the bus now, in enumeration order: where changes() starts from.
    virtual std::vector<HidDeviceInfo> present() = 0;
    // What arrived and left since the last call (or since present()), in the order it
    // happened; never waits.
    virtual std::vector<DeviceChange> changes() = 0;
    virtual int descriptor() const { return -1; }
    virtual std::uint32_t pollIntervalMs() const { return 0; }
};

// The identities the watchers report: the receiver in its normal mode (0x0021), with the
// older product ID (0x0019), and waiting in its boot loader (0x0018).
bool isReceiver(std::uint16_t vendorId, std::uint16_t productId);
// "normal", "alternate" or "boot loader", for the product IDs above.
std::string_view receiverMode(std::uint16_t productId);

// A watcher that compares what the transport enumerates, every `pollIntervalMs`: the simulated
// receiver's bus, and a machine whose own notifications cannot be had.
class EnumerationWatcher : public DeviceWatcher {
  public:
    EnumerationWatcher(HidTransport& transport, std::uint32_t pollIntervalMs)
        : transport_(transport), pollIntervalMs_(pollIntervalMs) {}

    std::vector<HidDeviceInfo> present() override;
    // Leaves come before arrivals: a device that re-enumerated between two looks has first
    // left with its old identity.
    std::vector<DeviceChange> changes() override;
    std::uint32_t pollIntervalMs() const override { return pollIntervalMs_; }

  private:
    std::vector<HidDeviceInfo> enumerateReceivers();

    HidTransport& transport_;
    std::uint32_t pollIntervalMs_;
    std::vector<HidDeviceInfo> known_;
};

}  // namespace tessik
