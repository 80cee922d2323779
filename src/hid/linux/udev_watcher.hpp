#pragma once
// Receivers arriving and leaving on Linux: libudev's monitor on the hidraw subsystem. Its
// socket is the descriptor the event loop waits on.
//
// Where a udev daemon runs, the monitor listens to it, so a node is reported once udev's rules
// have given it its permissions. Where none runs (a container, an initramfs, the kernel test's
// virtual machine) nobody would send those events; the monitor then listens to the kernel's own
// uevents, whose nodes devtmpfs has already made.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/device/device_watcher.hpp"
#include "hid/linux/hidraw_transport.hpp"

struct udev;
struct udev_monitor;

namespace tessik::hid {

class UdevWatcher : public DeviceWatcher {
  public:
    // Nothing, with the reason in `why`, when no monitor can be had (no netlink socket allowed
    // here, say). `udevControl` is the udev daemon's control socket, there while it runs.
    static std::unique_ptr<UdevWatcher> open(
        std::string& why, const std::filesystem::path& udevControl = "/run/udev/control");
    ~UdevWatcher() override;
    UdevWatcher(const UdevWatcher&) = delete;
    UdevWatcher& operator=(const UdevWatcher&) = delete;

    std::vector<HidDeviceInfo> present() override;
    std::vector<DeviceChange> changes() override;
    int descriptor() const override;

  private:
    UdevWatcher(udev* context, udev_monitor* monitor) : udev_(context), monitor_(monitor) {}

    udev* udev_;
    udev_monitor* monitor_;
    HidrawTransport hidraw_;
    // The receivers reported so far: a node that leaves can no longer say what it was.
    std::vector<HidDeviceInfo> known_;
};

}  // namespace tessik::hid
