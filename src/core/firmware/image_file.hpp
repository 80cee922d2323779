#pragma once
// Firmware image files (".bin"): loading one into the image buffer with its checks, the header
// inspection, and the update dialog's whole FileOpen load path without any toolkit.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "core/firmware/crc16.hpp"
#include "core/firmware/image_layout.hpp"
#include "core/firmware/uf_header.hpp"

namespace tessik {

using ImageSpan = std::span<std::uint8_t, kImageBufferSize>;
using ConstImageSpan = std::span<const std::uint8_t, kImageBufferSize>;

// Loads an image file into a 1 MB buffer the caller owns: the whole buffer is filled with 0xFF,
// the file placed at offset 0x4000, then the file size and the header are checked. A load gives
// the file size, or 0 with the reason in message(). After a failure the buffer holds nothing
// usable (the fill, maybe part of the file).
class CUfImageFile {
  public:
    explicit CUfImageFile(ImageSpan buffer) : buffer_(buffer) {}

    // Only the standard library touches the file; it is closed again on every way out.
    std::uint32_t Load(const std::filesystem::path& path);
    // The same checks over file bytes already in memory.
    std::uint32_t LoadBytes(std::span<const std::uint8_t> file);

    // Why the last load failed, without line end (empty after a success).
    const std::string& message() const { return message_; }

  private:
    std::uint32_t refuse(std::string message);
    std::uint32_t checkHeader(std::size_t fileSize);

    ImageSpan buffer_;
    std::string message_;
};

// Loader messages, exactly as the update dialog logs them.
inline constexpr std::string_view kMsgCannotOpen = "Cannot open file.";
inline constexpr std::string_view kMsgBadFileSize = "bad filesize(%d > 1MB)";
inline constexpr std::string_view kMsgReadError = "read error.";
inline constexpr std::string_view kMsgNoUfMark = "no UF mark.";
inline constexpr std::string_view kMsgFlashTooLarge = "bad flash size(>1MB).";
inline constexpr std::string_view kMsgFlashTooSmall = "bad flash size(%d < 16KB)";
inline constexpr std::string_view kMsgBadPageSize = "bad flash pagesize.";
inline constexpr std::string_view kMsgBadHeader = "uf_header is bad.";
inline constexpr std::string_view kMsgPastFlashSize =
    "the file is larger than its flash size: %d bytes would be written unchecked";
// FileOpen's own checks of a loaded image: the update would erase the receiver's firmware
// before the boot loader's CRC check could tell a damaged image, and an image whose firmware
// comes back under a foreign identity leaves a receiver the tool never finds again.
inline constexpr std::string_view kMsgHeaderCut = "the file ends inside its uf_header (%d bytes)";
inline constexpr std::string_view kMsgCrcDiffers =
    "the header's CRC16 0x%04X does not match the image's 0x%04X: the file is damaged or cut "
    "short";
inline constexpr std::string_view kMsgForeignIdentity =
    "the new firmware would come back as %04X:%04X, an identity this tool does not look for "
    "(07F7:0021 or 07F7:0019)";

// The uf_header of the image in the buffer (offset 0x4200).
UfHeader imageHeader(ConstImageSpan buffer);

// Header inspection after a successful load: the image type its mark names, None for a mark
// that passed the loader's 8-character test but is neither type ("uf_header is bad.").
ImageType inspectImageHeader(ConstImageSpan buffer);

// When the header in the buffer carries no CRC (crc16 0), computes it for `type` and writes it
// into the buffer's header (the file is not changed). Returns the header's crc16 afterwards.
std::uint16_t completeImageCrc(ImageSpan buffer, ImageType type);

// The outcome of the update dialog's FileOpen for one chosen path.
struct ImageLoad {
    bool updateEnabled = false;  // a checked image with its CRC is in the buffer
    std::uint32_t imageSize = 0;
    ImageType imageType = ImageType::None;
    std::uint16_t vid = 0;  // the application-mode identity the new firmware comes back with
    std::uint16_t pid = 0;
    UfHeader header;           // as it stands in the buffer, CRC completed (when loaded)
    std::string pathText;      // control 1067
    std::string firmwareText;  // control 1069
    std::string sizeText;      // control 1070
    std::string log;           // to append to the log; carries its own "\r\n" line ends
};

// Loads the file into the buffer, inspects the header, completes a missing CRC, and gives the
// dialog's texts and log lines. An empty path (nothing chosen) leaves everything empty. The
// image is checked whole before the update is offered: a file cut inside its header, a stored
// CRC that differs from the image's, or a USB identity other than the receiver's normal ones
// is refused with its log line.
ImageLoad loadUpdateImage(const std::filesystem::path& path, ImageSpan buffer);
// The same over file bytes in memory; `pathText` stands for the path shown.
ImageLoad loadUpdateImage(std::span<const std::uint8_t> file, std::string_view pathText,
                          ImageSpan buffer);

}  // namespace tessik
