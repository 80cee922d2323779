#include "core/device/device_watcher.hpp"

#include <algorithm>

#include "core/device/usbhidioc.hpp"

namespace tessik {
namespace {

constexpr std::uint16_t kReceiverProducts[] = {kProductIdNormal, kProductIdAlternate,
                                               kProductIdUpdater};

// The same node with another identity is another device: it has re-enumerated.
bool contains(const std::vector<HidDeviceInfo>& list, const HidDeviceInfo& device) {
    return std::find(list.begin(), list.end(), device) != list.end();
}

}  // namespace

bool isReceiver(std::uint16_t vendorId, std::uint16_t productId) {
    return vendorId == kVendorId &&
           std::find(std::begin(kReceiverProducts), std::end(kReceiverProducts), productId) !=
               std::end(kReceiverProducts);
}

std::string_view receiverMode(std::uint16_t productId) {
    switch (productId) {
        case kProductIdNormal:
            return "normal";
        case kProductIdAlternate:
            return "alternate";
        case kProductIdUpdater:
            return "boot loader";
        default:
            return "unknown";
    }
}

std::vector<HidDeviceInfo> EnumerationWatcher::enumerateReceivers() {
    std::vector<HidDeviceInfo> all;
    for (const std::uint16_t pid : kReceiverProducts) {
        for (HidDeviceInfo& d : transport_.enumerate(kVendorId, pid))
            all.push_back(std::move(d));
    }
    return all;
}

std::vector<HidDeviceInfo> EnumerationWatcher::present() {
    known_ = enumerateReceivers();
    return known_;
}

std::vector<DeviceChange> EnumerationWatcher::changes() {
    std::vector<HidDeviceInfo> now = enumerateReceivers();
    std::vector<DeviceChange> out;
    for (const HidDeviceInfo& d : known_) {
        if (!contains(now, d)) out.push_back({DeviceChangeKind::Left, d});
    }
    for (const HidDeviceInfo& d : now) {
        if (!contains(known_, d)) out.push_back({DeviceChangeKind::Arrived, d});
    }
    known_ = std::move(now);
    return out;
}

}  // namespace tessik
