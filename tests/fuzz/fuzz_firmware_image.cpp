// Any bytes offered as a firmware image load or are refused with a logged reason; nothing reads
// or writes outside the 1 MB image buffer (the CRC of a header whose coverage reaches past it
// included), and whatever loads stands in the buffer as the file with erased flash around it
// and a CRC the header inspection completed.

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <span>

#include "core/firmware/image_file.hpp"

namespace {

using namespace tessik;

void check(bool ok) {
    if (!ok) std::abort();
}

bool erased(const ImageBuffer& b, std::size_t from, std::size_t to) {
    return std::all_of(b.begin() + static_cast<std::ptrdiff_t>(from),
                       b.begin() + static_cast<std::ptrdiff_t>(to),
                       [](std::uint8_t v) { return v == kErasedByte; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto buffer = std::make_unique<ImageBuffer>();
    const std::span<const std::uint8_t> file(data, size);

    const ImageLoad r = loadUpdateImage(file, "fuzz.bin", *buffer);
    check(r.pathText == "fuzz.bin");
    if (!r.updateEnabled) {
        check(r.log.size() > 2 && r.log.ends_with("\r\n") && r.sizeText.empty());
        check(size > kMaxImageFileSize || r.imageSize == 0);
        return 0;
    }
    check(r.imageSize == size && r.imageType != ImageType::None);
    check(r.header == imageHeader(*buffer) && r.header.crc16 != 0);
    check(r.header.flash_size >= kMinFlashSize && r.header.flash_size <= kMaxFlashSize);
    check(erased(*buffer, 0, kImageOffset) &&
          erased(*buffer, kImageOffset + size, kImageBufferSize));

    // The file stands at 0x4000, except a crc16 of 0 that the load completed.
    const std::uint16_t stored = static_cast<std::uint16_t>(data[0x200] | (data[0x201] << 8));
    check(std::equal(file.begin(), file.begin() + 0x200, buffer->begin() + kImageOffset));
    check(std::equal(file.begin() + 0x202, file.end(), buffer->begin() + kImageHeaderOffset + 2));
    if (stored == 0) {
        check(r.log.starts_with("no crc16 in this file. calculate.\r\n"));
        check(r.header.crc16 == headerCrc16(*buffer, r.imageType, r.header.flash_size));
    } else {
        check(r.log.empty() && r.header.crc16 == stored);
    }
    check(!imageFirmwareLine(r.header).empty() && !currentFirmwareLine(r.header).empty());
    return 0;
}
