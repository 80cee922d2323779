#pragma once
// The CRC-16 that firmware images carry in their uf_header and that the boot loader computes
// over its flash after an update: polynomial 0x1021, most significant bit first, no reflection,
// no final XOR, the initial value chosen by the caller (from 0 this is CRC-16/XMODEM).

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/firmware/uf_header.hpp"

namespace tessik {

// Resumable: the CRC of a second piece starts from the first piece's result. Empty data
// returns `initial` unchanged.
std::uint16_t crc16(std::uint16_t initial, std::span<const std::uint8_t> data);
// The same over `count` copies of `value` (erased flash is a long run of 0xFF).
std::uint16_t crc16Repeat(std::uint16_t initial, std::uint8_t value, std::size_t count);

// The image CRC over a flash-addressed buffer (offset = flash address - 0x08000000), as the
// boot loader computes it: the 512 bytes at 0x4000 in front of the header, then from 0x4202
// (after the header's crc16 field) up to flash_size for type 2 images, or up to
// flash_size + 0x200 for type 1 images (that generation counts from the header). Bytes the
// buffer does not hold count as erased flash (0xFF): nothing is read beyond `flash`.
std::uint16_t imageCrc16(std::span<const std::uint8_t> flash, ImageType type,
                         std::uint32_t flash_size);

// The buffer offset one past the last byte imageCrc16 covers.
std::size_t imageCrcEnd(ImageType type, std::uint32_t flash_size);

// The value a header stores: imageCrc16, with 0 replaced by 0xFFFF (0 means "no CRC").
std::uint16_t headerCrc16(std::span<const std::uint8_t> flash, ImageType type,
                          std::uint32_t flash_size);

}  // namespace tessik
