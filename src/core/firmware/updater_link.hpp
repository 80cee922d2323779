#pragma once
// CUpdaterLink: the host side of the receiver's boot loader (its update mode, USB 0x07F7/0x0018).
// It reaches the boot loader, switching a device that runs its application firmware into it
// when needed, carries one command at a time and reports ACK or NAK, and finally starts the new
// firmware and waits for it to come back on the bus.
//
// Every command travels in feature report 1, in both directions as long as the device's feature
// report length (273 bytes for the boot loader):
//
//   byte   request (set-feature)          reply (get-feature)
//   0      0x01 report ID                 0x01 report ID
//   1      0x01                           ready flag: nonzero once the device has answered
//   2      0                              -
//   3      0x01 (marks an updater frame)  status: 0x06 ACK, 0x15 NAK, anything else a failure
//   4      command code                   -
//   5      0                              -
//   6..7   payload length, u16            -
//   8..    payload                        reply payload (Identify text from byte 10,
//                                         Crc16Check's CRC at bytes 8..9)
//
// The answer is polled back to back, without a pause, until the ready flag is set or the
// command's time-out has passed on the Clock.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "core/device/clock.hpp"
#include "core/device/device_outcome.hpp"
#include "core/device/hid_transport.hpp"
#include "core/device/usbhidioc.hpp"
#include "core/firmware/image_layout.hpp"
#include "core/firmware/uf_header.hpp"

namespace tessik {

enum class UpdaterCommand : std::uint8_t {
    Identify = 1,
    ModeSwitch = 3,
    FlashUnlock = 4,
    FlashErase = 7,
    WriteBlock = 8,
    Probe = 9,
    Crc16Check = 10,
};

// What Transfer reports: the device's status, or None for no valid answer (nothing sent, no
// ready reply before the time-out, or a status that is neither ACK nor NAK).
enum class TransferStatus : std::uint8_t { None = 0, Ack = 6, Nak = 21 };

// Report bytes of the updater's frames.
inline constexpr std::size_t kUpdaterReadyFlagOffset = 1;
inline constexpr std::size_t kUpdaterStatusOffset = 3;
inline constexpr std::size_t kUpdaterCommandOffset = 4;
inline constexpr std::size_t kUpdaterLengthOffset = 6;
inline constexpr std::size_t kUpdaterPayloadOffset = 8;
inline constexpr std::uint8_t kUpdaterFrameMark = 0x01;  // request bytes 1 and 3
// Identify's text starts at reply payload byte 2.
inline constexpr std::size_t kIdentityTextOffset = kUpdaterPayloadOffset + 2;

// The boot loader declares exactly this feature report length.
inline constexpr std::size_t kUpdaterFeatureReportLength = 273;
// The report areas hold the longest report either mode of the receiver uses: the boot loader's
// 273 bytes, and the 512 of the application firmware, which answers Identify and ModeSwitch in
// its own report length before it switches. A device declaring more is refused, never overrun.
inline constexpr std::size_t kUpdaterReportAreaSize = kFrameSize;

// ModeSwitch values: the first then the second send an application-mode device into its boot
// loader; the third makes the boot loader start the application firmware.
inline constexpr std::uint32_t kModeSwitchEnterFirst = 0x59E3B2C4;
inline constexpr std::uint32_t kModeSwitchEnterSecond = 0x2F8D6A93;
inline constexpr std::uint32_t kModeSwitchStart = 0x74C1E58B;
// FlashUnlock and FlashErase carry this key.
inline constexpr std::uint32_t kFlashKey = 0x6D2A5C17;
// Probe's payload: u16 1, u32 0x20000000 (the start of the microcontroller's RAM).
inline constexpr std::uint16_t kProbeCount = 1;
inline constexpr std::uint32_t kProbeAddress = 0x20000000;
// Crc16Check's payload.
inline constexpr std::uint8_t kCrc16CheckSelector = 1;

// Payload lengths.
inline constexpr std::uint16_t kModeSwitchLength = 4;
inline constexpr std::uint16_t kFlashKeyLength = 4;
inline constexpr std::uint16_t kWriteBlockLength = 2 + 4 + kFlashBlockSize;  // 262
inline constexpr std::uint16_t kProbeLength = 6;
inline constexpr std::uint16_t kCrc16CheckLength = 1;

// Time-outs of the answers, in ms.
inline constexpr std::uint32_t kShortCommandTimeoutMs = 100;  // Identify, ModeSwitch (enter),
                                                              // FlashUnlock, Probe
inline constexpr std::uint32_t kStartTimeoutMs = 1000;        // ModeSwitch (start)
inline constexpr std::uint32_t kEraseTimeoutMs = 5000;
inline constexpr std::uint32_t kWriteBlockTimeoutMs = 1000;
inline constexpr std::uint32_t kCrc16CheckTimeoutMs = 1000;
// A reply that is not ready yet is asked for again after this pause. The boot loader answers a
// short command at once but takes seconds over an erase; the pause keeps those seconds from
// being a busy spin and lets the window paint in between.
inline constexpr std::uint32_t kReplyPollStepMs = 5;

// Waiting for a device that re-enumerates (into the boot loader, or as the new firmware): up to
// 60 looks, one second apart.
inline constexpr int kReenumerationAttempts = 60;
inline constexpr std::uint32_t kReenumerationPauseMs = 1000;

// The boot loaders' identity texts, longest first: Identify compares them as prefixes.
inline constexpr std::string_view kIdentityType2 = "DER32UVE2";
inline constexpr std::string_view kIdentityType1 = "DER32UVE";

class CUpdaterLink {
  public:
    CUpdaterLink(HidTransport& transport, Clock& clock) : transport_(transport), clock_(clock) {}
    ~CUpdaterLink() { Close(); }
    CUpdaterLink(const CUpdaterLink&) = delete;
    CUpdaterLink& operator=(const CUpdaterLink&) = delete;

    // Reaches the boot loader through the device with this identity and returns its generation
    // (Type1 or Type2), or None when it cannot be reached (the link is then closed).
    //  - 0x07F7/0x0018: a boot loader, which must declare 273-byte reports, answer Identify and
    //    ACK Probe.
    //  - anything else, an application-mode device: Identify, the two ModeSwitch values, close,
    //    then up to 60 times 1000 ms later look for the boot loader as above.
    ImageType Connect(std::uint16_t vid, std::uint16_t pid);

    // Sends the command with the `length` payload bytes already in requestPayload(), then polls
    // for the answer until `timeoutMs` have passed. A payload that does not fit the device's
    // report is not sent (None).
    TransferStatus Transfer(UpdaterCommand command, std::uint16_t length, std::uint32_t timeoutMs);

    // The boot loader's generation from its identity text: "DER32UVE2..." Type2, else
    // "DER32UVE..." Type1, else (or without an ACK) None.
    ImageType Identify();
    // True when the device ACKs Probe: it is in update mode and ready.
    bool Probe();
    // ModeSwitch with the two entering values, each ACKed.
    bool enterUpdateMode();

    // The update commands, with their payloads and time-outs.
    TransferStatus FlashUnlock();
    TransferStatus FlashErase();
    TransferStatus WriteBlock(std::uint32_t address,
                              std::span<const std::uint8_t, kFlashBlockSize> data);
    // The CRC-16 the device computes over its flash; nothing without an ACK.
    std::optional<std::uint16_t> Crc16Check();

    // Starts the new firmware (ModeSwitch start). Unless the header is absent or its flags bit 0
    // says the firmware does not come back over USB, waits up to 60 x 1000 ms for a device with
    // the header's vid/pid. The link is closed afterwards in every case.
    bool Run(const UfHeader* header);

    // Lets go of the device.
    void Close();
    bool connected() const { return device_ != nullptr; }
    // What became of the last Connect or Transfer: NotConnected or NoPermission when no device
    // could be opened, Nak, NoReply (no ready answer in time), TransferFailed with the
    // platform's text; None after an ACK.
    const DeviceOutcome& outcome() const { return outcome_; }
    // The open device's feature report length (0 when closed).
    std::size_t reportLength() const { return reportLength_; }

    // The payload part of the request area (report byte 8 on), to fill before Transfer.
    std::span<std::uint8_t> requestPayload() {
        return std::span(request_).subspan(kUpdaterPayloadOffset);
    }
    // The last reply as far as the device's report reaches, from report byte 8 on.
    std::span<const std::uint8_t> replyPayload() const;

  private:
    bool open(std::uint16_t vid, std::uint16_t pid);
    bool reportsFit() const;
    ImageType connectUpdateMode();
    ImageType connectApplicationMode(std::uint16_t vid, std::uint16_t pid);
    bool modeSwitch(std::uint32_t value, std::uint32_t timeoutMs);
    TransferStatus pollReply(std::uint32_t start, std::uint32_t timeoutMs);
    TransferStatus ended(TransferStatus status, DeviceError error, std::string osText = {});

    HidTransport& transport_;
    Clock& clock_;
    std::array<std::uint8_t, kUpdaterReportAreaSize> request_{};
    std::array<std::uint8_t, kUpdaterReportAreaSize> reply_{};
    std::unique_ptr<HidDevice> device_;
    std::size_t reportLength_ = 0;
    DeviceOutcome outcome_;
};

}  // namespace tessik
