#pragma once
// The normal-mode command protocol: one command frame sent as a feature report, one reply
// frame read back, a log line per exchange. The frames are laid out in frame_layout.hpp.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/bytes/byte_io.hpp"
#include "core/device/frame_layout.hpp"
#include "core/device/log_sink.hpp"
#include "core/device/usbhidioc.hpp"
#include "core/model/remote_model.hpp"

namespace tessik {

enum class CommandCode : std::uint16_t {
    GetVersion = 0x02,
    CaptureMode = 0x22,
    GetCaptureLow = 0x23,
    GetCaptureHigh = 0x24,
    SetIrCode = 0x25,
    SetReturnCode = 0x26,
    SetMacro = 0x27,
    StartCapture = 0x28,
    Save = 0x29,
};

inline constexpr std::size_t kVersionAreaSize = 80;  // the running firmware's uf_header
inline constexpr std::uint32_t kSaveReplyWaitMs = 2000;

using Frame = std::array<std::uint8_t, kFrameSize>;
using VersionArea = std::array<std::uint8_t, kVersionAreaSize>;

// Set Return Code carries a CodeRecord's code bytes and key words, Set Macro a MacroRecord's
// key lists.
static_assert(kReturnCodeBytesAt + kCodeBytesCount == kReturnCodeKeysAt);
static_assert(kReturnCodeKeysAt + 2 * kKeyWords == kSetReturnCodeLength);
static_assert(kMacroKeyListStride == 2 * kKeyWords);
static_assert(kMacroKeysAt + kMacroCommands * kMacroKeyListStride == kSetMacroLength);

// Writes the fixed part of a command frame: report ID, 0x00 0x00 0x08, code, length field.
void putFrameHeader(std::span<std::uint8_t> frame, CommandCode code, std::uint16_t lengthField);

// The timing windows Set Ir Code carries, as the receiver keeps them.
struct TimingWindow {
    std::uint16_t max = 0;
    std::uint16_t min = 0;
    bool operator==(const TimingWindow&) const = default;
};

struct TimingWindows {
    std::uint8_t format = 0;
    std::uint8_t byte9 = 0;  // frame byte 9
    std::uint16_t pairCount = 0;
    TimingWindow leaderHigh;
    TimingWindow leaderLow;
    TimingWindow one;
    TimingWindow low;
    TimingWindow high;
    std::uint16_t bitCount = 0;
    bool operator==(const TimingWindows&) const = default;
};

// The 26 payload bytes of Set Ir Code, from the start of `payload`.
void encodeTimingWindows(const TimingWindows& windows, ByteWriter payload);
TimingWindows decodeTimingWindows(ByteReader payload);

// The header's maxima widened and minima narrowed by the jitter, as Set Ir Code sends them:
// the factor (100 ± j) / 100 and each product in single precision, truncated toward zero. A
// product beyond 16 bits is sent as 65535, a negative one as 0.
std::uint16_t widenByJitter(std::uint16_t value, std::int32_t jitterPercent);
std::uint16_t narrowByJitter(std::uint16_t value, std::int32_t jitterPercent);

// The windows Set Ir Code sends for `header`, the jitter taken within 0..100. Byte 9 is 0: the
// tool of old never assigned it, and the header's own byte 1 is reserved 0.
TimingWindows timingWindows(const RemoteHeader& header, std::int32_t jitterPercent);

class DeviceCommands {
  public:
    DeviceCommands(CUsbhidioc& link, Clock& clock, LogSink& log)
        : link_(link), clock_(clock), log_(log) {}

    // Get Version: on ACK the 80 bytes from reply byte 8 go into `area`; otherwise it keeps
    // what it held.
    bool GetVersion(VersionArea& area);

    // The generic one-argument command (byte 8), on a zeroed command buffer. Not logged.
    bool SendModeCommand(CommandCode code, std::uint8_t argument);
    bool CaptureMode(std::uint8_t on) { return SendModeCommand(CommandCode::CaptureMode, on); }

    // Set Ir Code: the header's timing windows widened by the jitter; byte 9 is sent as 0.
    bool SetIrCode(const RemoteHeader& header, std::int32_t jitterPercent);
    // Set Return Code for button slot 0..127: its code bytes and key words. A slot outside the
    // table sends nothing and returns false.
    bool SetReturnCode(std::size_t slot, const CodeRecord& record);
    // Set Macro for macro slot 0..9: its interval and the eight key lists. A slot outside the
    // table sends nothing and returns false.
    bool SetMacro(std::size_t macroSlot, const MacroRecord& macro);
    // Save: the reply is read 2000 ms after the command.
    bool Save();

    // What became of the last command's exchange (None when it was acknowledged): the reason
    // the window or the command line tells when a command returned false.
    const DeviceOutcome& outcome() const { return link_.outcome(); }

    // The shared command and reply buffers are zeroed with the tables.
    void ResetBuffers();

    // The shared buffers as they stand (what the last command sent and received).
    const Frame& commandBuffer() const { return command_; }
    const Frame& replyBuffer() const { return reply_; }

  private:
    enum class Outcome { SendFailed, ReceiveFailed, Ack };
    Outcome exchange(Frame& command, Frame& reply, std::uint32_t waitMs = 0);
    bool logged(Outcome outcome, const char* sendFault, const char* success);
    // Writes the header and the slot byte of Set Return Code or Set Macro into the shared
    // command buffer; returns a writer over the slot's data.
    ByteWriter slotFrame(CommandCode code, std::size_t slot, std::size_t dataLength);

    CUsbhidioc& link_;
    Clock& clock_;
    LogSink& log_;
    // Shared by Set Ir Code, Set Return Code, Set Macro, Save and CaptureMode. All but
    // CaptureMode write only their own bytes, so what lies behind a payload is what an earlier
    // command left there; the device has always seen it so.
    Frame command_{};
    Frame reply_{};
};

}  // namespace tessik
