#include "core/device/usbhidioc.hpp"

#include <string>

#include "core/text/strings.hpp"

namespace tessik {

bool CUsbhidioc::Open() {
    connected_ = false;
    device_.reset();
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
        featureReportLength_ = length;
        connected_ = true;
        accessDenied_ = false;
        break;
    }
    return connected_;
}

bool CUsbhidioc::ensureConnected() {
    if (!connected_) Open();
    if (!connected_) {
        // The link's own text is Japanese in every language; the permission text is one of the
        // string table's and follows the interface language.
        const std::string_view why =
            accessDenied_ ? text(StringId::DeviceAccessDenied) : kLinkNotConnectedText;
        notifier_.show(Message{std::string(kErrorCaption), std::string(why), MessageKind::Notice});
        return false;
    }
    if (!device_) {  // connected without a usable device: search again next time
        connected_ = false;
        return false;
    }
    return true;
}

void CUsbhidioc::showError(std::string_view text) {
    notifier_.show(Message{std::string(kErrorCaption), std::string(text), MessageKind::Notice});
}

void CUsbhidioc::dropDevice() {
    connected_ = false;
    device_.reset();
}

bool CUsbhidioc::SetFeature(std::span<std::uint8_t> frame) {
    if (!ensureConnected()) return false;
    if (frame.size() < featureReportLength_) return false;
    const auto report = frame.first(featureReportLength_);
    for (int attempt = 0; attempt <= kTransferRetries; ++attempt) {
        if (attempt > 0) clock_.sleepMs(kRetryPauseMs);
        frame[kReportIdOffset] = kReportId;
        if (device_->setFeature(report)) return true;
    }
    showError(device_->lastError());
    dropDevice();
    return false;
}

bool CUsbhidioc::GetFeature(std::span<std::uint8_t> frame) {
    if (!ensureConnected()) return false;
    if (frame.size() < featureReportLength_) return false;
    const auto report = frame.first(featureReportLength_);
    int budget = kTransferRetries;  // shared by busy replies and failed reads
    for (;;) {
        frame[kReportIdOffset] = kReportId;
        if (device_->getFeature(report)) {
            if (frame[kStatusOffset] == kStatusAck) return true;
            if (frame[kStatusOffset] == kStatusNak) {
                showError(kLinkNakText);
                return false;
            }
            if (--budget == 0) return false;  // still busy after ten reads: no message
            clock_.sleepMs(kRetryPauseMs);
            continue;
        }
        if (budget == 0) {
            showError(device_->lastError());
            dropDevice();
            return false;
        }
        --budget;
        clock_.sleepMs(kRetryPauseMs);
    }
}

void CUsbhidioc::Disconnect() {
    if (connected_) dropDevice();
}

}  // namespace tessik
