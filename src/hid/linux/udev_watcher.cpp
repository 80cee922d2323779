#include "hid/linux/udev_watcher.hpp"

#include <libudev.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "core/device/usbhidioc.hpp"
#include "hid/system_transport.hpp"

namespace tessik::hid {
namespace {

constexpr const char* kSubsystem = "hidraw";

// What a hidraw node is: the HID device above it carries "HID_ID=0003:000007F7:00000021".
std::optional<HidId> identityOf(udev_device* node) {
    udev_device* hid = udev_device_get_parent_with_subsystem_devtype(node, "hid", nullptr);
    const char* id = hid != nullptr ? udev_device_get_property_value(hid, "HID_ID") : nullptr;
    if (id == nullptr) return std::nullopt;
    return parseHidIdFromUevent(std::string("HID_ID=") + id);
}

}  // namespace

std::unique_ptr<UdevWatcher> UdevWatcher::open(std::string& why,
                                               const std::filesystem::path& udevControl) {
    udev* context = udev_new();
    if (context == nullptr) {
        why = "libudev: " + std::system_category().message(errno);
        return nullptr;
    }
    std::error_code ec;
    const char* source = std::filesystem::exists(udevControl, ec) ? "udev" : "kernel";
    udev_monitor* monitor = udev_monitor_new_from_netlink(context, source);
    if (monitor == nullptr ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor, kSubsystem, nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        why = std::string("no ") + source +
              " device events: " + std::system_category().message(errno);
        if (monitor != nullptr) udev_monitor_unref(monitor);
        udev_unref(context);
        return nullptr;
    }
    return std::unique_ptr<UdevWatcher>(new UdevWatcher(context, monitor));
}

UdevWatcher::~UdevWatcher() {
    udev_monitor_unref(monitor_);
    udev_unref(udev_);
}

int UdevWatcher::descriptor() const {
    return udev_monitor_get_fd(monitor_);
}

// Read after the monitor listens, so a node that arrives in between is not missed; one that is
// then reported twice is reported once.
std::vector<HidDeviceInfo> UdevWatcher::present() {
    known_.clear();
    for (const std::uint16_t pid : {kProductIdNormal, kProductIdAlternate, kProductIdUpdater}) {
        for (HidDeviceInfo& d : hidraw_.enumerate(kVendorId, pid))
            known_.push_back(std::move(d));
    }
    return known_;
}

std::vector<DeviceChange> UdevWatcher::changes() {
    std::vector<DeviceChange> out;
    // The monitor's socket does not block: nullptr once everything waiting has been read.
    while (udev_device* node = udev_monitor_receive_device(monitor_)) {
        const char* action = udev_device_get_action(node);
        const char* devnode = udev_device_get_devnode(node);
        if (action != nullptr && devnode != nullptr) {
            const std::string_view what = action;
            const auto at =
                std::find_if(known_.begin(), known_.end(),
                             [devnode](const HidDeviceInfo& d) { return d.path == devnode; });
            if (what == "remove" && at != known_.end()) {
                out.push_back({DeviceChangeKind::Left, *at});
                known_.erase(at);
            } else if (what == "add" && at == known_.end()) {
                const auto id = identityOf(node);
                if (id && isReceiver(id->vendorId, id->productId)) {
                    known_.push_back({devnode, id->vendorId, id->productId});
                    out.push_back({DeviceChangeKind::Arrived, known_.back()});
                }
            }
        }
        udev_device_unref(node);
    }
    return out;
}

std::unique_ptr<DeviceWatcher> makeSystemWatcher(std::string& why) {
    return UdevWatcher::open(why);
}

}  // namespace tessik::hid
