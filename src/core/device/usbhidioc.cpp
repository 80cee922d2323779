#include "core/device/usbhidioc.hpp"

#include <algorithm>

namespace tessik {

bool CUsbhidioc::Open() {
    connected_ = false;
    device_.reset();
    devicePath_.clear();
    featureReportLength_ = 0;
    accessDenied_ = false;
    for (const HidDeviceInfo& info : transport_.enumerate(vendorId, productId)) {
        std::unique_ptr<HidDevice> dev = transport_.open(info);
        if (!dev) {  // held by another program, no permission, gone: next one
            accessDenied_ =
                accessDenied_ || transport_.lastOpenError() == OpenError::PermissionDenied;
            continue;
        }
        const std::size_t length = dev->featureReportLength();
        // Too short for the frame header, or longer than the frame buffers.
        if (length < kPayloadOffset || length > kFrameSize) continue;
        device_ = std::move(dev);
        devicePath_ = info.path;
        featureReportLength_ = length;
        connected_ = true;
        accessDenied_ = false;
        break;
    }
    return connected_;
}

bool CUsbhidioc::failed(DeviceError error) {
    outcome_ = DeviceOutcome{error, {}};
    return false;
}

bool CUsbhidioc::ensureConnected() {
    outcome_ = {};
    if (!connected_) Open();
    if (!connected_) {
        return failed(accessDenied_ ? DeviceError::NoPermission : DeviceError::NotConnected);
    }
    if (!device_) {  // connected without a usable device: search again next time
        connected_ = false;
        return failed(DeviceError::NoReply);
    }
    return true;
}

// Every retry failed: the platform's text goes with the outcome, and the device is let go so
// the next transfer searches again. A device no longer on the bus has gone, which tells the
// user more than the failed call does.
bool CUsbhidioc::lostDevice() {
    const auto present = transport_.enumerate(vendorId, productId);
    const bool gone = std::none_of(present.begin(), present.end(), [this](const HidDeviceInfo& d) {
        return d.path == devicePath_;
    });
    outcome_ = DeviceOutcome{gone ? DeviceError::DeviceGone : DeviceError::TransferFailed,
                             device_->lastError()};
    dropDevice();
    return false;
}

void CUsbhidioc::dropDevice() {
    connected_ = false;
    device_.reset();
    devicePath_.clear();
}

bool CUsbhidioc::SetFeature(std::span<std::uint8_t> frame) {
    if (!ensureConnected()) return false;
    if (frame.size() < featureReportLength_) return failed(DeviceError::NoReply);
    const auto report = frame.first(featureReportLength_);
    for (int attempt = 0; attempt <= kTransferRetries; ++attempt) {
        if (attempt > 0) clock_.sleepMs(kRetryPauseMs);
        frame[kReportIdOffset] = kReportId;
        if (device_->setFeature(report)) return true;
    }
    return lostDevice();
}

bool CUsbhidioc::GetFeature(std::span<std::uint8_t> frame) {
    if (!ensureConnected()) return false;
    if (frame.size() < featureReportLength_) return failed(DeviceError::NoReply);
    const auto report = frame.first(featureReportLength_);
    int budget = kTransferRetries;  // shared by busy replies and failed reads
    for (;;) {
        frame[kReportIdOffset] = kReportId;
        if (device_->getFeature(report)) {
            if (frame[kStatusOffset] == kStatusAck) return true;
            if (frame[kStatusOffset] == kStatusNak) return failed(DeviceError::Nak);
            if (--budget == 0) return failed(DeviceError::NoReply);  // still busy: not told
            clock_.sleepMs(kRetryPauseMs);
            continue;
        }
        if (budget == 0) return lostDevice();
        --budget;
        clock_.sleepMs(kRetryPauseMs);
    }
}

void CUsbhidioc::Disconnect() {
    if (connected_) dropDevice();
}

}  // namespace tessik
