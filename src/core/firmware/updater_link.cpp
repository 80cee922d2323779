#include "core/firmware/updater_link.hpp"

#include <algorithm>

#include "core/bytes/byte_io.hpp"

namespace tessik {
namespace {

// `text` stands at the start of `field` (anything may follow it).
bool startsWith(std::span<const std::uint8_t> field, std::string_view text) {
    if (field.size() < text.size()) return false;
    return std::equal(text.begin(), text.end(), field.begin(),
                      [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

}  // namespace

bool CUpdaterLink::open(std::uint16_t vid, std::uint16_t pid) {
    Close();
    bool denied = false;
    for (const HidDeviceInfo& info : transport_.enumerate(vid, pid)) {
        if (auto device = transport_.open(info)) {
            reportLength_ = device->featureReportLength();
            device_ = std::move(device);
            outcome_ = {};
            return true;
        }
        denied = denied || transport_.lastOpenError() == OpenError::PermissionDenied;
    }
    outcome_ = {denied ? DeviceError::NoPermission : DeviceError::NotConnected, {}};
    return false;
}

TransferStatus CUpdaterLink::ended(TransferStatus status, DeviceError error, std::string osText) {
    outcome_ = DeviceOutcome{error, std::move(osText)};
    return status;
}

void CUpdaterLink::Close() {
    device_.reset();
    reportLength_ = 0;
}

// A report shorter than the frame's head cannot carry a command; one longer than the areas
// would be read and written past them.
bool CUpdaterLink::reportsFit() const {
    return reportLength_ >= kUpdaterPayloadOffset && reportLength_ <= kUpdaterReportAreaSize;
}

std::span<const std::uint8_t> CUpdaterLink::replyPayload() const {
    const std::size_t end = reportsFit() ? reportLength_ : kUpdaterPayloadOffset;
    return std::span(reply_).subspan(kUpdaterPayloadOffset, end - kUpdaterPayloadOffset);
}

TransferStatus CUpdaterLink::Transfer(UpdaterCommand command, std::uint16_t length,
                                      std::uint32_t timeoutMs) {
    if (!device_ || !reportsFit() || kUpdaterPayloadOffset + length > reportLength_) {
        return ended(TransferStatus::None,
                     device_ ? DeviceError::NoReply : DeviceError::NotConnected);
    }
    const std::uint32_t start = clock_.tickMs();
    ByteWriter w{std::span(request_).first(reportLength_)};
    w.u8(0, kUpdaterFrameMark);  // report ID 1
    w.u8(1, kUpdaterFrameMark);
    w.u8(2, 0);
    w.u8(kUpdaterStatusOffset, kUpdaterFrameMark);
    w.u8(kUpdaterCommandOffset, static_cast<std::uint8_t>(command));
    w.u8(5, 0);
    w.u16(kUpdaterLengthOffset, length);
    // Nothing of an earlier, longer command trails behind the payload.
    const std::size_t payloadEnd = kUpdaterPayloadOffset + length;
    w.fill(payloadEnd, reportLength_ - payloadEnd, 0);
    // A refused send is not repeated: the device may have taken it.
    if (!device_->setFeature(std::span(request_).first(reportLength_))) {
        return ended(TransferStatus::None, DeviceError::TransferFailed, device_->lastError());
    }
    return pollReply(start, timeoutMs);
}

// Reads until the ready flag is set, a short pause through the clock between them. The window
// [start, start + timeout) is taken on the wrapping 32-bit tick: the elapsed time is the tick
// difference modulo 2^32.
TransferStatus CUpdaterLink::pollReply(std::uint32_t start, std::uint32_t timeoutMs) {
    const auto reply = std::span(reply_).first(reportLength_);
    for (;;) {
        reply[0] = kUpdaterFrameMark;
        reply[kUpdaterReadyFlagOffset] = 0;
        reply[kUpdaterStatusOffset] = 0;
        const bool read = device_->getFeature(reply);
        if (read && reply[kUpdaterReadyFlagOffset] != 0) {
            switch (reply[kUpdaterStatusOffset]) {
                case static_cast<std::uint8_t>(TransferStatus::Ack):
                    return ended(TransferStatus::Ack, DeviceError::None);
                case static_cast<std::uint8_t>(TransferStatus::Nak):
                    return ended(TransferStatus::Nak, DeviceError::Nak);
                default:
                    return ended(TransferStatus::None, DeviceError::NoReply);
            }
        }
        const std::uint32_t elapsed = clock_.tickMs() - start;
        if (elapsed >= timeoutMs) {
            return read ? ended(TransferStatus::None, DeviceError::NoReply)
                        : ended(TransferStatus::None, DeviceError::TransferFailed,
                                device_->lastError());
        }
        clock_.sleepMs(std::min(kReplyPollStepMs, timeoutMs - elapsed));
    }
}

ImageType CUpdaterLink::Identify() {
    if (Transfer(UpdaterCommand::Identify, 0, kShortCommandTimeoutMs) != TransferStatus::Ack) {
        return ImageType::None;
    }
    const auto text = replyPayload().subspan(
        std::min(replyPayload().size(), kIdentityTextOffset - kUpdaterPayloadOffset));
    if (startsWith(text, kIdentityType2)) return ImageType::Type2;
    if (startsWith(text, kIdentityType1)) return ImageType::Type1;
    return ImageType::None;
}

bool CUpdaterLink::Probe() {
    ByteWriter w(requestPayload());
    w.u16(0, kProbeCount);
    w.u32(2, kProbeAddress);
    return Transfer(UpdaterCommand::Probe, kProbeLength, kShortCommandTimeoutMs) ==
           TransferStatus::Ack;
}

bool CUpdaterLink::modeSwitch(std::uint32_t value, std::uint32_t timeoutMs) {
    ByteWriter(requestPayload()).u32(0, value);
    return Transfer(UpdaterCommand::ModeSwitch, kModeSwitchLength, timeoutMs) ==
           TransferStatus::Ack;
}

bool CUpdaterLink::enterUpdateMode() {
    return modeSwitch(kModeSwitchEnterFirst, kShortCommandTimeoutMs) &&
           modeSwitch(kModeSwitchEnterSecond, kShortCommandTimeoutMs);
}

TransferStatus CUpdaterLink::FlashUnlock() {
    ByteWriter(requestPayload()).u32(0, kFlashKey);
    return Transfer(UpdaterCommand::FlashUnlock, kFlashKeyLength, kShortCommandTimeoutMs);
}

TransferStatus CUpdaterLink::FlashErase() {
    ByteWriter(requestPayload()).u32(0, kFlashKey);
    return Transfer(UpdaterCommand::FlashErase, kFlashKeyLength, kEraseTimeoutMs);
}

TransferStatus CUpdaterLink::WriteBlock(std::uint32_t address,
                                        std::span<const std::uint8_t, kFlashBlockSize> data) {
    ByteWriter w(requestPayload());
    w.u16(0, static_cast<std::uint16_t>(kFlashBlockSize));
    w.u32(2, address);
    w.bytes(6, data);
    return Transfer(UpdaterCommand::WriteBlock, kWriteBlockLength, kWriteBlockTimeoutMs);
}

std::optional<std::uint16_t> CUpdaterLink::Crc16Check() {
    ByteWriter(requestPayload()).u8(0, kCrc16CheckSelector);
    if (Transfer(UpdaterCommand::Crc16Check, kCrc16CheckLength, kCrc16CheckTimeoutMs) !=
        TransferStatus::Ack) {
        return std::nullopt;
    }
    return ByteReader(replyPayload()).u16(0);
}

// ---------------------------------------------------------------------------------------------
// Reaching the boot loader.

ImageType CUpdaterLink::connectUpdateMode() {
    if (!open(kVendorId, kProductIdUpdater)) return ImageType::None;
    if (reportLength_ == kUpdaterFeatureReportLength) {
        const ImageType type = Identify();
        if (type != ImageType::None && Probe()) return type;
    }
    Close();
    return ImageType::None;
}

ImageType CUpdaterLink::connectApplicationMode(std::uint16_t vid, std::uint16_t pid) {
    if (!open(vid, pid)) return ImageType::None;
    const bool switched = Identify() != ImageType::None && enterUpdateMode();
    // The device leaves the bus to come back as its boot loader; this handle is dead either way.
    Close();
    if (!switched) return ImageType::None;
    for (int attempt = 0; attempt < kReenumerationAttempts; ++attempt) {
        clock_.sleepMs(kReenumerationPauseMs);
        const ImageType type = connectUpdateMode();
        if (type != ImageType::None) return type;
    }
    return ImageType::None;
}

ImageType CUpdaterLink::Connect(std::uint16_t vid, std::uint16_t pid) {
    Close();
    if (vid == kVendorId && pid == kProductIdUpdater) return connectUpdateMode();
    return connectApplicationMode(vid, pid);
}

bool CUpdaterLink::Run(const UfHeader* header) {
    const bool started = modeSwitch(kModeSwitchStart, kStartTimeoutMs);
    Close();
    if (!started) return false;
    if (header == nullptr || (header->flags & kUfFlagNoReturn) != 0) return true;
    for (int attempt = 0; attempt < kReenumerationAttempts; ++attempt) {
        clock_.sleepMs(kReenumerationPauseMs);
        const bool back = open(header->vid, header->pid);
        Close();
        if (back) return true;
    }
    return false;
}

}  // namespace tessik
