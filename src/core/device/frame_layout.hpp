#pragma once
// The frames of the receiver's normal mode (USB 0x07F7/0x0021 or 0x0019). Every command travels
// in feature report 1 and is answered in the same report, read back with get-feature; both are
// as long as the device's feature report length (512 bytes for the receiver):
//
//   byte   command (set-feature)          reply (get-feature)
//   0      0x01 report ID                 0x01 report ID
//   1..2   0                              -
//   3      0x08 (marks a normal frame)    status: 6 ACK, 21 NAK, anything else not ready
//   4..5   command code, u16              the code answered
//   6..7   length field, u16              data length, u16
//   8..    payload                        data
//
// The updater's frames share bytes 0 and 3 (it marks its requests with 0x01 there) and are laid
// out in core/firmware/updater_link.hpp.
//
// Payloads and data, by command:
//   Get Version      data 8..87: the running firmware's uf_header
//   CaptureMode      payload byte 8: 1 on, 0 off (the length field stays 0)
//   Start Capture    data 8..9: the entry count, high byte first
//   Get Capture      data 8..9: the entry count, high byte first; the periods, u16, from 10
//   Set Ir Code      payload 8..33: the timing windows (below)
//   Set Return Code  byte 8 the button slot, then 32 bytes: code bytes 0..19, key words 20..31
//   Set Macro        byte 8 the macro slot, then 98 bytes: interval 0..1, eight key lists 2..97

#include <cstddef>
#include <cstdint>

namespace tessik {

// Every frame buffer of the normal mode is this long; a device declaring a longer feature
// report cannot be driven and is passed over.
inline constexpr std::size_t kFrameSize = 512;

inline constexpr std::size_t kReportIdOffset = 0;
inline constexpr std::size_t kFrameMarkOffset = 3;  // request
inline constexpr std::size_t kStatusOffset = 3;     // reply
inline constexpr std::size_t kCommandCodeOffset = 4;
inline constexpr std::size_t kLengthOffset = 6;
inline constexpr std::size_t kPayloadOffset = 8;

inline constexpr std::uint8_t kReportId = 1;
inline constexpr std::uint8_t kNormalFrameMark = 0x08;

inline constexpr std::uint8_t kStatusNotReady = 1;
inline constexpr std::uint8_t kStatusAck = 6;
inline constexpr std::uint8_t kStatusNak = 21;

// The capture replies: the count big-endian (the one such field of the protocol), the periods.
inline constexpr std::size_t kCaptureCountOffset = kPayloadOffset;
inline constexpr std::size_t kCaptureDataOffset = kPayloadOffset + 2;

// Set Return Code and Set Macro: the slot byte, and the slot's data behind it. Their length
// fields count the data, not the slot byte.
//
// The offsets named ...At below count from the start of a payload (Set Ir Code) or of a slot's
// data (Set Return Code, Set Macro), as the receiver keeps them; add kPayloadOffset or
// kSlotDataOffset for the frame byte.
inline constexpr std::size_t kSlotOffset = kPayloadOffset;
inline constexpr std::size_t kSlotDataOffset = kSlotOffset + 1;

// Set Ir Code's payload, the timing windows the receiver matches a signal against. The maxima
// of the leader windows precede their minima; the three data windows give all maxima first.
//    0  u8   format         1 pulse distance, 2 pulse width
//    1  u8   -              sent as 0
//    2  u16  pair count
//    4  u16  leader high    max, min at 6
//    8  u16  leader low     max, min at 10
//   12  u16  one, low, high maxima at 12, 14, 16; minima at 18, 20, 22
//   24  u16  bit count
inline constexpr std::size_t kSetIrCodeLength = 26;
inline constexpr std::size_t kWindowFormatAt = 0;
inline constexpr std::size_t kWindowByte1At = 1;
inline constexpr std::size_t kWindowPairCountAt = 2;
inline constexpr std::size_t kLeaderHighMaxAt = 4;
inline constexpr std::size_t kLeaderHighMinAt = 6;
inline constexpr std::size_t kLeaderLowMaxAt = 8;
inline constexpr std::size_t kLeaderLowMinAt = 10;
inline constexpr std::size_t kDataMaximaAt = 12;  // one, low, high
inline constexpr std::size_t kDataMinimaAt = 18;  // one, low, high
inline constexpr std::size_t kWindowBitCountAt = 24;
static_assert(kWindowBitCountAt + 2 == kSetIrCodeLength);

// Set Return Code's slot data: the CodeRecord's code bytes and key words.
inline constexpr std::size_t kSetReturnCodeLength = 32;
inline constexpr std::size_t kReturnCodeBytesAt = 0;
inline constexpr std::size_t kReturnCodeKeysAt = 20;

// Set Macro's slot data: the macro's interval and its eight key lists of six words each.
inline constexpr std::size_t kSetMacroLength = 98;
inline constexpr std::size_t kMacroIntervalAt = 0;
inline constexpr std::size_t kMacroKeysAt = 2;
inline constexpr std::size_t kMacroKeyListStride = 12;

// Save's length field announces 32 bytes although none are written.
inline constexpr std::uint16_t kSaveLengthField = 32;

static_assert(kSlotDataOffset + kSetMacroLength <= kFrameSize);

}  // namespace tessik
