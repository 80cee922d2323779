#pragma once
// uf_header: the 80-byte header every firmware image carries at file offset 0x200, and that
// the device returns for its running firmware (Get Version). It names the firmware, tells the
// updater how much flash the image covers and which boot-loader generation it was built for,
// carries the image's CRC-16 and the USB identity the new firmware will come back under.
//
// Layout (little-endian, packed):
//    0  u16      crc16        CRC-16 of the image; 0 = none stored
//    2  13 bytes mark         "DER32UVE_UF\0" (type 1) or "DER32UVE2_UF\0" (type 2)
//   15  3 bytes  -            unused
//   18  32 bytes name         ANSI text, 0-terminated
//   50  u8 x 3   version      major, minor, third number
//   53  u8 x 3   date         three two-digit numbers, shown in stored order
//   56  u8 x 2   time         hour, minute
//   58  2 bytes  -            unused
//   60  u32      flash_size   end of the image in flash, relative to the start of flash
//   64  u32      page_size    flash page size, always 1024
//   68  u8       flags        bit 0: the new firmware does not come back over USB after start
//   69  7 bytes  -            unused
//   76  u16      vid          USB identity of the new firmware's application mode
//   78  u16      pid

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/text/language.hpp"

namespace tessik {

inline constexpr std::size_t kUfHeaderSize = 80;
inline constexpr std::size_t kUfHeaderFileOffset = 0x200;  // where images carry it

inline constexpr std::size_t kUfCrc16Offset = 0;
inline constexpr std::size_t kUfMarkOffset = 2;
inline constexpr std::size_t kUfMarkSize = 13;
inline constexpr std::size_t kUfNameOffset = 18;
inline constexpr std::size_t kUfNameSize = 32;
inline constexpr std::size_t kUfVersionOffset = 50;
inline constexpr std::size_t kUfDateOffset = 53;
inline constexpr std::size_t kUfTimeOffset = 56;
inline constexpr std::size_t kUfFlashSizeOffset = 60;
inline constexpr std::size_t kUfPageSizeOffset = 64;
inline constexpr std::size_t kUfFlagsOffset = 68;
inline constexpr std::size_t kUfVidOffset = 76;
inline constexpr std::size_t kUfPidOffset = 78;
static_assert(kUfPidOffset + 2 == kUfHeaderSize);
static_assert(kUfNameOffset + kUfNameSize == kUfVersionOffset);

// Every mark starts with these 8 characters; the loader accepts nothing else.
inline constexpr std::string_view kUfMarkPrefix = "DER32UVE";
// The two marks, without their terminating 0 (which the header also holds).
inline constexpr std::string_view kUfMarkType1 = "DER32UVE_UF";
inline constexpr std::string_view kUfMarkType2 = "DER32UVE2_UF";

// Flag bit 0: after the start command the updater does not wait for the device to come back.
inline constexpr std::uint8_t kUfFlagNoReturn = 0x01;

// Which boot-loader generation an image is built for; the boot loader's Identify answers with
// the same numbers, and the two must agree before anything is written.
enum class ImageType : std::uint8_t {
    None = 0,   // neither mark: the header is rejected
    Type1 = 1,  // "DER32UVE_UF", for a "DER32UVE" boot loader
    Type2 = 2,  // "DER32UVE2_UF", for a "DER32UVE2" boot loader
};

struct UfHeader {
    std::uint16_t crc16 = 0;
    std::array<std::uint8_t, kUfMarkSize> mark{};
    std::array<std::uint8_t, kUfNameSize> name{};  // raw ANSI bytes
    std::uint8_t versionMajor = 0;
    std::uint8_t versionMinor = 0;
    std::uint8_t versionThird = 0;
    std::array<std::uint8_t, 3> date{};
    std::uint8_t hour = 0;
    std::uint8_t minute = 0;
    std::uint32_t flash_size = 0;
    std::uint32_t page_size = 0;
    std::uint8_t flags = 0;
    std::uint16_t vid = 0;
    std::uint16_t pid = 0;

    bool operator==(const UfHeader&) const = default;
};

// Reads the 80 bytes from the start of `bytes`; missing bytes read as 0.
UfHeader decodeUfHeader(std::span<const std::uint8_t> bytes);
// Writes every field into the first 80 bytes of `out` (unused bytes become 0). Writes beyond
// `out` are dropped.
void encodeUfHeader(const UfHeader& header, std::span<std::uint8_t> out);
std::array<std::uint8_t, kUfHeaderSize> encodeUfHeader(const UfHeader& header);

// Sets `mark` and `name` from text (cut to their fields, always 0-terminated).
void setUfMark(UfHeader& header, std::string_view mark);
void setUfName(UfHeader& header, std::string_view name);

// The image type its mark names: the full type 1 mark with its terminator, else the full type 2
// mark with its terminator, else None.
ImageType imageTypeOfMark(const UfHeader& header);

// Text up to the first 0 (or the whole field), converted for display. The header holds ANSI
// text; each byte is taken as the Latin-1 character of that value, which is exact for the
// ASCII names firmware carries and shows any other byte as some readable character.
std::string ufNameText(const UfHeader& header);
std::string ufMarkText(const UfHeader& header);
std::string latin1ToUtf8(std::span<const std::uint8_t> bytes);

// The update dialog's lines built from a header:
//   "Current Firmware : \"NAME\" Ver 1.2.3 24/05/17 12:34" (the running firmware)
//   "Firmware : \"NAME\" Ver 1.2.3 24/05/17 12:34"         (a loaded image)
//   "Size: 1024 bytes.  CRC16: 0x0BEE"                      (a loaded image's size and CRC)
std::string currentFirmwareLine(const UfHeader& header);
std::string imageFirmwareLine(const UfHeader& header);
std::string imageSizeLine(std::uint32_t fileSize, std::uint16_t crc16);

// The running-firmware line of the update dialog. A running firmware's header always carries a
// CRC; a header without one is the main window's area before any normal-mode device answered
// Get Version. The start-up search marks it 0x07F7/0x0018 when it found a device waiting in its
// boot loader: only then does the line say so; with nothing found it says that no device is
// connected (string 142 in `language`).
std::string runningFirmwareText(const UfHeader& header, Language language);
inline constexpr std::string_view kUpdateWaitingText =
    "There is a device firmware update waiting state. Run the firmware updates.";

}  // namespace tessik
