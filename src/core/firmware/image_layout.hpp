#pragma once
// Where a firmware image stands in the device's flash, and so in the tool's image buffer.
//
// The microcontroller's flash starts at 0x08000000. Its first 16 KB hold the boot loader, which
// the updater never writes; the application firmware, and so byte 0 of every image file, starts
// at 0x08004000. The tool keeps the image in a 1 MB buffer addressed like the flash (buffer
// offset = flash address - 0x08000000), filled with 0xFF, the value of erased flash, wherever the
// file does not reach.

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/firmware/uf_header.hpp"

namespace tessik {

inline constexpr std::uint32_t kFlashBaseAddress = 0x08000000;
inline constexpr std::size_t kImageBufferSize = 0x100000;  // 1 MB of flash
inline constexpr std::size_t kImageOffset = 0x4000;        // buffer offset of file byte 0
inline constexpr std::size_t kMaxImageFileSize = kImageBufferSize - kImageOffset;      // 0xFC000
inline constexpr std::size_t kImageHeaderOffset = kImageOffset + kUfHeaderFileOffset;  // 0x4200
inline constexpr std::uint8_t kErasedByte = 0xFF;

// flash_size bounds: at least the 16 KB in front of the image, at most the whole flash.
inline constexpr std::uint32_t kMinFlashSize = 0x4000;
inline constexpr std::uint32_t kMaxFlashSize = 0x100000;
inline constexpr std::uint32_t kRequiredPageSize = 1024;

// The updater writes the flash in blocks of this size.
inline constexpr std::size_t kFlashBlockSize = 256;

using ImageBuffer = std::array<std::uint8_t, kImageBufferSize>;  // 1 MB: allocate on the heap

static_assert(kMaxImageFileSize == 0xFC000);
static_assert(kImageHeaderOffset + kUfHeaderSize <= kImageBufferSize);

}  // namespace tessik
