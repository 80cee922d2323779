#pragma once
// The three capture commands, which the capture dialog builds and reads itself on the link
// rather than through the command senders: Start Capture (0x28) asks how many entries the
// receiver has recorded of the press in progress, Get Capture 0x23 fetches their low periods
// (the IR bursts) and Get Capture 0x24 their high periods (the pauses).
//
// Request: the normal command frame with the length field 0 and nothing behind the header.
// Reply: the code answered echoed; Start Capture's entry count high byte first (the one
// big-endian field of the protocol); the Get Capture replies' data length and their periods,
// 16-bit little-endian (see frame_layout.hpp).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/device/commands.hpp"
#include "core/device/usbhidioc.hpp"

namespace tessik {

enum class CaptureTransfer {
    SendFailed,     // the request did not reach the device
    ReceiveFailed,  // no acknowledged reply (missing, NAK, busy for ten reads)
    Acknowledged,
};

struct CaptureCount {
    CaptureTransfer transfer = CaptureTransfer::SendFailed;
    std::uint16_t count = 0;  // entries recorded so far
};

struct CapturePeriods {
    CaptureTransfer transfer = CaptureTransfer::SendFailed;
    std::uint8_t echo = 0;  // the code the device says it answered (its low byte)
    // As many periods as the reply's data length announces, but never more than the reply's
    // data area holds: a length beyond the report cannot be believed, and the bytes behind the
    // report are not the device's.
    std::vector<std::uint16_t> periods;
};

class CaptureExchange {
  public:
    explicit CaptureExchange(CUsbhidioc& link) : link_(link) {}

    CaptureCount startCapture();
    // `code` is GetCaptureLow (0x23) or GetCaptureHigh (0x24).
    CapturePeriods getCapture(CommandCode code);

    // The most periods one reply can carry with the link's report length: (length - 10) / 2,
    // 251 with the receiver's 512-byte reports.
    std::size_t maxPeriodsPerReply() const;

  private:
    CaptureTransfer exchange(CommandCode code, Frame& reply);

    CUsbhidioc& link_;
};

}  // namespace tessik
