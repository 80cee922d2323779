#include "core/capture/capture_exchange.hpp"

#include <algorithm>
#include <span>

#include "core/bytes/byte_io.hpp"

namespace tessik {

CaptureTransfer CaptureExchange::exchange(CommandCode code, Frame& reply) {
    Frame command{};
    putFrameHeader(command, code, 0);
    reply.fill(kStatusNotReady);  // an unanswered frame then reads as "not ready"
    if (!link_.SetFeature(command)) return CaptureTransfer::SendFailed;
    if (!link_.GetFeature(reply)) return CaptureTransfer::ReceiveFailed;
    return CaptureTransfer::Acknowledged;
}

std::size_t CaptureExchange::maxPeriodsPerReply() const {
    const std::size_t length = std::min(link_.featureReportLength(), kFrameSize);
    return length > kCaptureDataOffset ? (length - kCaptureDataOffset) / 2 : 0;
}

CaptureCount CaptureExchange::startCapture() {
    Frame reply;
    CaptureCount result;
    result.transfer = exchange(CommandCode::StartCapture, reply);
    if (result.transfer != CaptureTransfer::Acknowledged) return result;
    // Only the bytes of the report are the device's; the reader gives 0 for anything beyond.
    const ByteReader r(std::span<const std::uint8_t>(reply).first(
        std::min(link_.featureReportLength(), kFrameSize)));
    result.count = r.u16be(kCaptureCountOffset);
    return result;
}

CapturePeriods CaptureExchange::getCapture(CommandCode code) {
    Frame reply;
    CapturePeriods result;
    result.transfer = exchange(code, reply);
    if (result.transfer != CaptureTransfer::Acknowledged) return result;
    const ByteReader r(std::span<const std::uint8_t>(reply).first(
        std::min(link_.featureReportLength(), kFrameSize)));
    result.echo = r.u8(kCommandCodeOffset);
    const std::size_t announced = r.u16(kLengthOffset) >> 1;
    const std::size_t count = std::min(announced, maxPeriodsPerReply());
    result.periods.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        result.periods.push_back(r.u16(kCaptureDataOffset + 2 * i));
    return result;
}

}  // namespace tessik
