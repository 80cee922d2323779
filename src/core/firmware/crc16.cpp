#include "core/firmware/crc16.hpp"

#include <algorithm>
#include <array>

#include "core/firmware/image_layout.hpp"

namespace tessik {
namespace {

constexpr std::uint16_t kPolynomial = 0x1021;

// One table entry per value of the register's high byte after the data byte is XORed in:
// the effect of the eight shift-and-XOR steps.
constexpr std::array<std::uint16_t, 256> makeTable() {
    std::array<std::uint16_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t reg = i << 8;
        for (int bit = 0; bit < 8; ++bit) {
            reg = (reg & 0x8000) != 0 ? (reg << 1) ^ kPolynomial : reg << 1;
        }
        table[i] = static_cast<std::uint16_t>(reg);
    }
    return table;
}

constexpr std::array<std::uint16_t, 256> kTable = makeTable();

std::uint16_t step(std::uint16_t crc, std::uint8_t byte) {
    return static_cast<std::uint16_t>((crc << 8) ^ kTable[((crc >> 8) ^ byte) & 0xFF]);
}

// CRC over buffer offsets [begin, end): the part `flash` holds, the rest as erased bytes.
std::uint16_t crcRange(std::uint16_t crc, std::span<const std::uint8_t> flash, std::size_t begin,
                       std::size_t end) {
    if (end <= begin) return crc;
    const std::size_t heldEnd = std::min(end, flash.size());
    if (begin < heldEnd) crc = crc16(crc, flash.subspan(begin, heldEnd - begin));
    const std::size_t missingFrom = std::max(begin, heldEnd);
    return crc16Repeat(crc, kErasedByte, end - missingFrom);
}

constexpr std::size_t kCrcFieldEnd = kImageHeaderOffset + 2;  // 0x4202

}  // namespace

std::uint16_t crc16(std::uint16_t initial, std::span<const std::uint8_t> data) {
    std::uint16_t crc = initial;
    for (const std::uint8_t b : data)
        crc = step(crc, b);
    return crc;
}

std::uint16_t crc16Repeat(std::uint16_t initial, std::uint8_t value, std::size_t count) {
    std::uint16_t crc = initial;
    for (std::size_t i = 0; i < count; ++i)
        crc = step(crc, value);
    return crc;
}

std::size_t imageCrcEnd(ImageType type, std::uint32_t flash_size) {
    const std::size_t end = type == ImageType::Type1
                                ? static_cast<std::size_t>(flash_size) + kUfHeaderFileOffset
                                : static_cast<std::size_t>(flash_size);
    // The second piece must hold at least one byte, else it adds nothing.
    return std::max(end, kCrcFieldEnd);
}

std::uint16_t imageCrc16(std::span<const std::uint8_t> flash, ImageType type,
                         std::uint32_t flash_size) {
    std::uint16_t crc = crcRange(0, flash, kImageOffset, kImageHeaderOffset);
    return crcRange(crc, flash, kCrcFieldEnd, imageCrcEnd(type, flash_size));
}

std::uint16_t headerCrc16(std::span<const std::uint8_t> flash, ImageType type,
                          std::uint32_t flash_size) {
    const std::uint16_t crc = imageCrc16(flash, type, flash_size);
    return crc == 0 ? 0xFFFF : crc;
}

}  // namespace tessik
