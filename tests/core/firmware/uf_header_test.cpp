#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "core/firmware/uf_header.hpp"

namespace tessik {
namespace {

// A header written byte by byte at its documented offsets.
std::array<std::uint8_t, kUfHeaderSize> rawHeader() {
    std::array<std::uint8_t, kUfHeaderSize> b{};
    b[0] = 0xEE;  // crc16 0x0BEE
    b[1] = 0x0B;
    std::memcpy(&b[2], "DER32UVE2_UF", 13);
    std::memcpy(&b[18], "IR receiver", 12);
    b[50] = 2;
    b[51] = 10;
    b[52] = 7;
    b[53] = 24;
    b[54] = 5;
    b[55] = 7;
    b[56] = 9;
    b[57] = 5;
    b[60] = 0x00;  // flash_size 0x00040000
    b[62] = 0x04;
    b[64] = 0x00;  // page_size 1024
    b[65] = 0x04;
    b[68] = 0x01;
    b[76] = 0xF7;  // vid 0x07F7
    b[77] = 0x07;
    b[78] = 0x21;  // pid 0x0021
    return b;
}

TEST(UfHeader, decodesEveryFieldAtItsOffsetAndEncodesBackTheSameBytes) {
    const auto raw = rawHeader();
    const UfHeader h = decodeUfHeader(raw);
    EXPECT_EQ(h.crc16, 0x0BEE);
    EXPECT_EQ(ufMarkText(h), "DER32UVE2_UF");
    EXPECT_EQ(ufNameText(h), "IR receiver");
    EXPECT_EQ(h.versionMajor, 2);
    EXPECT_EQ(h.versionMinor, 10);
    EXPECT_EQ(h.versionThird, 7);
    EXPECT_EQ(h.date, (std::array<std::uint8_t, 3>{24, 5, 7}));
    EXPECT_EQ(h.hour, 9);
    EXPECT_EQ(h.minute, 5);
    EXPECT_EQ(h.flash_size, 0x40000u);
    EXPECT_EQ(h.page_size, 1024u);
    EXPECT_EQ(h.flags, 0x01);
    EXPECT_EQ(h.vid, 0x07F7);
    EXPECT_EQ(h.pid, 0x0021);
    EXPECT_EQ(encodeUfHeader(h), raw);
}

TEST(UfHeader, showsTheDialogLinesWithTheNameAsLatin1) {
    UfHeader h = decodeUfHeader(rawHeader());
    EXPECT_EQ(currentFirmwareLine(h),
              "Current Firmware : \"IR receiver\" Ver 2.10.7 24/05/07 09:05");
    EXPECT_EQ(imageFirmwareLine(h), "Firmware : \"IR receiver\" Ver 2.10.7 24/05/07 09:05");
    EXPECT_EQ(imageSizeLine(32768, 0x0BEE), "Size: 32768 bytes.  CRC16: 0x0BEE");
    EXPECT_EQ(runningFirmwareText(h), currentFirmwareLine(h));

    setUfName(h, "Fern\xE9 \xB5");
    EXPECT_EQ(ufNameText(h), "Fern\u00E9 \u00B5");
    // A name filling all 32 bytes without terminator shows all of them, nothing beyond.
    h.name.fill('A');
    EXPECT_EQ(ufNameText(h), std::string(32, 'A'));
    setUfName(h, std::string(40, 'B'));
    EXPECT_EQ(ufNameText(h), std::string(31, 'B'));

    // Until a normal-mode device has answered, the main window's copy is all zero.
    EXPECT_EQ(runningFirmwareText(UfHeader{}),
              "There is a device firmware update waiting state. Run the firmware updates.");
}

TEST(UfHeader, markNamesTheTypeOnlyWithItsTerminator) {
    UfHeader h;
    setUfMark(h, "DER32UVE_UF");
    EXPECT_EQ(imageTypeOfMark(h), ImageType::Type1);
    h.mark[12] = 'x';  // the byte after a type 1 mark is not part of it
    EXPECT_EQ(imageTypeOfMark(h), ImageType::Type1);
    setUfMark(h, "DER32UVE2_UF");
    EXPECT_EQ(imageTypeOfMark(h), ImageType::Type2);
    for (const char* foreign : {"DER32UVE3_UF", "DER32UVE_UFX", "DER32UVE2_U", "DER32UVE"}) {
        setUfMark(h, foreign);
        EXPECT_EQ(imageTypeOfMark(h), ImageType::None) << foreign;
    }
    h.mark.fill('D');  // no terminator anywhere
    EXPECT_EQ(imageTypeOfMark(h), ImageType::None);
}

}  // namespace
}  // namespace tessik
