#include "core/firmware/image_file.hpp"

#include <algorithm>
#include <fstream>
#include <system_error>
#include <utility>

#include "core/bytes/byte_io.hpp"
#include "core/device/usbhidioc.hpp"
#include "core/text/format.hpp"

namespace tessik {
namespace {

// The loader's message area holds at most 255 characters.
constexpr std::size_t kMaxMessageLength = 255;

std::string pathToText(const std::filesystem::path& path) {
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

// Why a loaded image of `type` must not be written, or empty: its header cut off, its CRC not
// its data's, or a new firmware the tool would not find again.
std::string imageProblem(ConstImageSpan buffer, std::uint32_t fileSize, ImageType type) {
    if (fileSize < kUfHeaderFileOffset + kUfHeaderSize) {
        return formatText(kMsgHeaderCut, {fileSize});
    }
    const UfHeader h = imageHeader(buffer);
    const std::uint16_t computed = headerCrc16(buffer, type, h.flash_size);
    if (h.crc16 != 0 && h.crc16 != computed) return formatText(kMsgCrcDiffers, {h.crc16, computed});
    if (h.vid != kVendorId || (h.pid != kProductIdNormal && h.pid != kProductIdAlternate)) {
        return formatText(kMsgForeignIdentity, {h.vid, h.pid});
    }
    return {};
}

// FileOpen's steps after the path is known: load, inspect, show, complete the CRC.
template <typename LoadFn>
ImageLoad runLoad(std::string pathText, ImageSpan buffer, LoadFn load) {
    ImageLoad r;
    r.pathText = std::move(pathText);
    CUfImageFile loader(buffer);
    const std::uint32_t size = load(loader);
    if (size == 0) {
        r.log = loader.message() + "\r\n";
        return r;
    }
    const ImageType type = inspectImageHeader(buffer);
    if (type == ImageType::None) {
        r.log = std::string(kMsgBadHeader) + "\r\n";
        return r;
    }
    UfHeader header = imageHeader(buffer);
    r.firmwareText = imageFirmwareLine(header);
    if (const std::string problem = imageProblem(buffer, size, type); !problem.empty()) {
        r.log = problem + "\r\n";
        return r;
    }
    r.vid = header.vid;
    r.pid = header.pid;
    if (header.crc16 == 0) {
        r.log = "no crc16 in this file. calculate.\r\n";
        r.log += formatText("uf_header.flash_size = %d\r\n", {header.flash_size});
        header.crc16 = completeImageCrc(buffer, type);
    }
    r.sizeText = imageSizeLine(size, header.crc16);
    r.imageSize = size;
    r.imageType = type;
    r.header = header;
    r.updateEnabled = true;
    return r;
}

}  // namespace

std::uint32_t CUfImageFile::refuse(std::string message) {
    if (message.size() > kMaxMessageLength) message.resize(kMaxMessageLength);
    message_ = std::move(message);
    return 0;
}

std::uint32_t CUfImageFile::Load(const std::filesystem::path& path) {
    message_.clear();
    // Only a regular file counts: a directory or a device node is no image.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return refuse(std::string(kMsgCannotOpen));
    std::ifstream in(path, std::ios::binary);
    if (!in) return refuse(std::string(kMsgCannotOpen));

    std::fill(buffer_.begin(), buffer_.end(), kErasedByte);
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) return refuse(std::string(kMsgReadError));
    if (static_cast<std::uint64_t>(size) > kMaxImageFileSize) {
        return refuse(formatText(kMsgBadFileSize, {static_cast<std::int64_t>(size)}));
    }
    in.seekg(0, std::ios::beg);
    in.read(reinterpret_cast<char*>(buffer_.data() + kImageOffset), size);
    if (in.gcount() != size) return refuse(std::string(kMsgReadError));
    return checkHeader(static_cast<std::size_t>(size));
}

std::uint32_t CUfImageFile::LoadBytes(std::span<const std::uint8_t> file) {
    message_.clear();
    std::fill(buffer_.begin(), buffer_.end(), kErasedByte);
    if (file.size() > kMaxImageFileSize) {
        return refuse(formatText(kMsgBadFileSize, {file.size()}));
    }
    std::copy(file.begin(), file.end(), buffer_.begin() + kImageOffset);
    return checkHeader(file.size());
}

// The checks on the loaded bytes, in the order the messages are reported. A file shorter than
// the header is checked all the same: the 0xFF fill stands for its missing bytes.
std::uint32_t CUfImageFile::checkHeader(std::size_t fileSize) {
    const UfHeader h = imageHeader(buffer_);
    if (!std::equal(kUfMarkPrefix.begin(), kUfMarkPrefix.end(), h.mark.begin())) {
        return refuse(std::string(kMsgNoUfMark));
    }
    if (h.flash_size > kMaxFlashSize) return refuse(std::string(kMsgFlashTooLarge));
    if (h.flash_size < kMinFlashSize) {
        return refuse(formatText(kMsgFlashTooSmall, {h.flash_size}));
    }
    if (h.page_size != kRequiredPageSize) return refuse(std::string(kMsgBadPageSize));
    // The whole file is written, but the boot loader's CRC check covers the flash only up to
    // the end its header names: a block spoiled beyond it would pass as a good update.
    if (const ImageType type = imageTypeOfMark(h); type != ImageType::None) {
        const std::size_t fileEnd = kImageOffset + fileSize;
        const std::size_t checkedEnd = imageCrcEnd(type, h.flash_size);
        if (fileEnd > checkedEnd) {
            return refuse(formatText(kMsgPastFlashSize, {fileEnd - checkedEnd}));
        }
    }
    return static_cast<std::uint32_t>(fileSize);
}

UfHeader imageHeader(ConstImageSpan buffer) {
    return decodeUfHeader(std::span(buffer).subspan(kImageHeaderOffset, kUfHeaderSize));
}

ImageType inspectImageHeader(ConstImageSpan buffer) {
    return imageTypeOfMark(imageHeader(buffer));
}

std::uint16_t completeImageCrc(ImageSpan buffer, ImageType type) {
    const UfHeader h = imageHeader(buffer);
    if (h.crc16 != 0) return h.crc16;
    const std::uint16_t crc = headerCrc16(buffer, type, h.flash_size);
    ByteWriter(buffer).u16(kImageHeaderOffset + kUfCrc16Offset, crc);
    return crc;
}

ImageLoad loadUpdateImage(const std::filesystem::path& path, ImageSpan buffer) {
    if (path.empty()) return {};
    return runLoad(pathToText(path), buffer,
                   [&path](CUfImageFile& loader) { return loader.Load(path); });
}

ImageLoad loadUpdateImage(std::span<const std::uint8_t> file, std::string_view pathText,
                          ImageSpan buffer) {
    return runLoad(std::string(pathText), buffer,
                   [file](CUfImageFile& loader) { return loader.LoadBytes(file); });
}

}  // namespace tessik
