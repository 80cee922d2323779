#pragma once
// Firmware images built in code: a header at 0x200, deterministic non-trivial content, optional
// erased (0xFF) stretches, with or without a CRC. The loader tests, the update-procedure tests
// and the simulated boot loader's tests share them.

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/bytes/byte_io.hpp"
#include "core/firmware/crc16.hpp"
#include "core/firmware/image_layout.hpp"
#include "core/firmware/uf_header.hpp"

namespace tessik::test {

struct ImageShape {
    std::size_t fileSize = 0x8000;
    ImageType type = ImageType::Type2;
    std::uint32_t flashSize = 0x40000;
    std::uint32_t pageSize = kRequiredPageSize;
    bool withCrc = true;  // false: crc16 0, as the tool then computes it on load (the CRC
                          // follows `type`, also under a foreign mark)
    std::string mark;     // instead of the type's own mark, when not empty
    std::string name = "IR receiver";
    std::array<std::uint8_t, 3> version{1, 2, 3};
    std::array<std::uint8_t, 3> date{24, 5, 17};
    std::uint8_t hour = 12;
    std::uint8_t minute = 34;
    std::uint8_t flags = 0;
    std::uint16_t vid = 0x07F7;
    std::uint16_t pid = 0x0021;
    struct Range {
        std::size_t offset;  // file offset
        std::size_t length;
    };
    std::vector<Range> erased;  // file ranges set to 0xFF (the header is written over them)
    std::uint32_t seed = 1;
};

inline UfHeader headerFor(const ImageShape& shape) {
    UfHeader h;
    const std::string_view ownMark = shape.type == ImageType::Type1 ? kUfMarkType1 : kUfMarkType2;
    setUfMark(h, shape.mark.empty() ? ownMark : std::string_view(shape.mark));
    setUfName(h, shape.name);
    h.versionMajor = shape.version[0];
    h.versionMinor = shape.version[1];
    h.versionThird = shape.version[2];
    h.date = shape.date;
    h.hour = shape.hour;
    h.minute = shape.minute;
    h.flash_size = shape.flashSize;
    h.page_size = shape.pageSize;
    h.flags = shape.flags;
    h.vid = shape.vid;
    h.pid = shape.pid;
    return h;
}

// The flash as it stands once the image is written: 0xFF everywhere the file does not reach.
inline std::unique_ptr<ImageBuffer> flashWithImage(const std::vector<std::uint8_t>& file) {
    auto flash = std::make_unique<ImageBuffer>();
    flash->fill(kErasedByte);
    std::copy_n(file.begin(), std::min(file.size(), kMaxImageFileSize),
                flash->begin() + kImageOffset);
    return flash;
}

inline std::vector<std::uint8_t> buildImage(const ImageShape& shape) {
    std::vector<std::uint8_t> file(shape.fileSize);
    std::uint32_t state = shape.seed * 2654435761u + 1;
    for (auto& b : file) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(state >> 24);
    }
    for (const auto& r : shape.erased) {
        ByteWriter(file).fill(r.offset, r.length, kErasedByte);
    }
    // Cut to the file when it is shorter than the header's end.
    ByteWriter w(file);
    auto header = encodeUfHeader(headerFor(shape));
    w.bytes(kUfHeaderFileOffset, header);
    if (shape.withCrc) {
        const auto flash = flashWithImage(file);
        w.u16(kUfHeaderFileOffset + kUfCrc16Offset,
              headerCrc16(*flash, shape.type, shape.flashSize));
    }
    return file;
}

inline void writeImageFile(const std::filesystem::path& path,
                           const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

}  // namespace tessik::test
