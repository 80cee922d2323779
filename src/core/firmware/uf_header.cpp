#include "core/firmware/uf_header.hpp"

#include <algorithm>

#include "core/bytes/byte_io.hpp"
#include "core/device/usbhidioc.hpp"
#include "core/text/format.hpp"
#include "core/text/strings.hpp"

namespace tessik {
namespace {

template <std::size_t N>
void readArray(const ByteReader& r, std::size_t offset, std::array<std::uint8_t, N>& out) {
    for (std::size_t i = 0; i < N; ++i)
        out[i] = r.u8(offset + i);
}

template <std::size_t N>
void setText(std::array<std::uint8_t, N>& field, std::string_view text) {
    field.fill(0);
    const std::size_t n = std::min(text.size(), N - 1);
    for (std::size_t i = 0; i < n; ++i)
        field[i] = static_cast<std::uint8_t>(text[i]);
}

template <std::size_t N>
bool fieldHolds(const std::array<std::uint8_t, N>& field, std::string_view text) {
    // The text and its terminating 0.
    if (text.size() + 1 > N) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (field[i] != static_cast<std::uint8_t>(text[i])) return false;
    }
    return field[text.size()] == 0;
}

template <std::size_t N>
std::string fieldText(const std::array<std::uint8_t, N>& field) {
    const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    return latin1ToUtf8(std::span(field.begin(), end));
}

std::string firmwareLine(std::string_view format, const UfHeader& h) {
    return formatText(format, {ufNameText(h), h.versionMajor, h.versionMinor, h.versionThird,
                               h.date[0], h.date[1], h.date[2], h.hour, h.minute});
}

}  // namespace

UfHeader decodeUfHeader(std::span<const std::uint8_t> bytes) {
    const ByteReader r(bytes.first(std::min(bytes.size(), kUfHeaderSize)));
    UfHeader h;
    h.crc16 = r.u16(kUfCrc16Offset);
    readArray(r, kUfMarkOffset, h.mark);
    readArray(r, kUfNameOffset, h.name);
    h.versionMajor = r.u8(kUfVersionOffset);
    h.versionMinor = r.u8(kUfVersionOffset + 1);
    h.versionThird = r.u8(kUfVersionOffset + 2);
    readArray(r, kUfDateOffset, h.date);
    h.hour = r.u8(kUfTimeOffset);
    h.minute = r.u8(kUfTimeOffset + 1);
    h.flash_size = r.u32(kUfFlashSizeOffset);
    h.page_size = r.u32(kUfPageSizeOffset);
    h.flags = r.u8(kUfFlagsOffset);
    h.vid = r.u16(kUfVidOffset);
    h.pid = r.u16(kUfPidOffset);
    return h;
}

void encodeUfHeader(const UfHeader& h, std::span<std::uint8_t> out) {
    ByteWriter w(out.first(std::min(out.size(), kUfHeaderSize)));
    w.fill(0, kUfHeaderSize, 0);
    w.u16(kUfCrc16Offset, h.crc16);
    w.bytes(kUfMarkOffset, h.mark);
    w.bytes(kUfNameOffset, h.name);
    w.u8(kUfVersionOffset, h.versionMajor);
    w.u8(kUfVersionOffset + 1, h.versionMinor);
    w.u8(kUfVersionOffset + 2, h.versionThird);
    w.bytes(kUfDateOffset, h.date);
    w.u8(kUfTimeOffset, h.hour);
    w.u8(kUfTimeOffset + 1, h.minute);
    w.u32(kUfFlashSizeOffset, h.flash_size);
    w.u32(kUfPageSizeOffset, h.page_size);
    w.u8(kUfFlagsOffset, h.flags);
    w.u16(kUfVidOffset, h.vid);
    w.u16(kUfPidOffset, h.pid);
}

std::array<std::uint8_t, kUfHeaderSize> encodeUfHeader(const UfHeader& header) {
    std::array<std::uint8_t, kUfHeaderSize> out{};
    encodeUfHeader(header, out);
    return out;
}

void setUfMark(UfHeader& header, std::string_view mark) {
    setText(header.mark, mark);
}
void setUfName(UfHeader& header, std::string_view name) {
    setText(header.name, name);
}

ImageType imageTypeOfMark(const UfHeader& header) {
    if (fieldHolds(header.mark, kUfMarkType1)) return ImageType::Type1;
    if (fieldHolds(header.mark, kUfMarkType2)) return ImageType::Type2;
    return ImageType::None;
}

std::string latin1ToUtf8(std::span<const std::uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const std::uint8_t b : bytes) {
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
        } else {
            out.push_back(static_cast<char>(0xC0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    return out;
}

std::string ufNameText(const UfHeader& header) {
    return fieldText(header.name);
}
std::string ufMarkText(const UfHeader& header) {
    return fieldText(header.mark);
}

std::string currentFirmwareLine(const UfHeader& header) {
    return firmwareLine("Current Firmware : \"%s\" Ver %d.%d.%d %02d/%02d/%02d %02d:%02d", header);
}

std::string imageFirmwareLine(const UfHeader& header) {
    return firmwareLine("Firmware : \"%s\" Ver %d.%d.%d %02d/%02d/%02d %02d:%02d", header);
}

std::string imageSizeLine(std::uint32_t fileSize, std::uint16_t crc16) {
    return formatText("Size: %d bytes.  CRC16: 0x%04X", {fileSize, crc16});
}

std::string runningFirmwareText(const UfHeader& header, Language language) {
    if (header.crc16 != 0) return currentFirmwareLine(header);
    if (header.vid == kVendorId && header.pid == kProductIdUpdater) {
        return std::string(kUpdateWaitingText);
    }
    return std::string(text(StringId::DeviceNotConnected, language));
}

}  // namespace tessik
