#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "core/firmware/image_file.hpp"
#include "core/firmware/uf_header.hpp"
#include "core/text/format.hpp"
#include "support/firmware_images.hpp"
#include "support/temp_dir.hpp"

// Images are described by designated initializers that name only what differs from the
// default shape; the members left out keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace tessik {
namespace {

using test::ImageShape;

// A header written byte by byte at its documented offsets.
std::array<std::uint8_t, kUfHeaderSize> rawHeader() {
    std::array<std::uint8_t, kUfHeaderSize> b{};
    const std::pair<std::size_t, std::vector<std::uint8_t>> fields[] = {
        {0, {0xEE, 0x0B}},                 // crc16 0x0BEE
        {50, {2, 10, 7, 24, 5, 7, 9, 5}},  // version 2.10.7, 24/05/07 09:05
        {60, {0x00, 0x00, 0x04, 0x00}},    // flash_size 0x00040000
        {64, {0x00, 0x04}},                // page_size 1024
        {68, {0x01}},                      // flags
        {76, {0xF7, 0x07, 0x21, 0x00}}};   // vid 0x07F7, pid 0x0021
    for (const auto& [at, bytes] : fields)
        std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
    std::memcpy(&b[2], "DER32UVE2_UF", 13);
    std::memcpy(&b[18], "IR receiver", 12);
    return b;
}

TEST(UfHeader, decodesEveryFieldAtItsOffsetAndEncodesBackTheSameBytes) {
    const auto raw = rawHeader();
    const UfHeader h = decodeUfHeader(raw);
    EXPECT_EQ(std::tuple(h.crc16, ufMarkText(h), ufNameText(h), h.versionMajor, h.versionMinor,
                         h.versionThird, h.date, h.hour, h.minute),
              std::tuple(0x0BEE, "DER32UVE2_UF", "IR receiver", 2, 10, 7,
                         std::array<std::uint8_t, 3>{24, 5, 7}, 9, 5));
    EXPECT_EQ(std::tuple(h.flash_size, h.page_size, h.flags, h.vid, h.pid),
              std::tuple(0x40000u, 1024u, 0x01, 0x07F7, 0x0021));
    EXPECT_EQ(encodeUfHeader(h), raw);
}

TEST(UfHeader, showsTheNameAsLatin1AndNeverBeyondItsField) {
    UfHeader h = decodeUfHeader(rawHeader());
    setUfName(h, "Fern\xE9 \xB5");
    EXPECT_EQ(ufNameText(h), "Fern\u00E9 \u00B5");
    // A name filling all 32 bytes without terminator shows all of them, nothing beyond.
    h.name.fill('A');
    EXPECT_EQ(ufNameText(h), std::string(32, 'A'));
    setUfName(h, std::string(40, 'B'));
    EXPECT_EQ(ufNameText(h), std::string(31, 'B'));
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

std::uint16_t storedCrc(const std::vector<std::uint8_t>& file) {
    return decodeUfHeader(std::span(file).subspan(0x200)).crc16;
}

class ImageLoader : public ::testing::Test {
  protected:
    // Loads through a real file, so both the file path and the checks are exercised.
    std::uint32_t loadFile(const std::vector<std::uint8_t>& bytes) {
        const auto path = tmp_ / "image.bin";
        test::writeImageFile(path, bytes);
        return loader_.Load(path);
    }
    std::uint32_t loadBuilt(const ImageShape& shape) { return loadFile(test::buildImage(shape)); }
    bool allErasedFrom(std::size_t offset) const {
        return std::all_of(buffer_->begin() + static_cast<std::ptrdiff_t>(offset), buffer_->end(),
                           [](std::uint8_t b) { return b == 0xFF; });
    }

    test::TempDir tmp_;
    std::unique_ptr<ImageBuffer> buffer_ = std::make_unique<ImageBuffer>();
    CUfImageFile loader_{*buffer_};
};

TEST_F(ImageLoader, fileOpenPlacesTheFileAtSixteenKilobytesInAnErasedBufferAndFillsTheTexts) {
    ASSERT_EQ(loadBuilt({.fileSize = 0x20000}), 0x20000u);
    const auto file = test::buildImage({.fileSize = 0x1234, .pid = 0x0019});
    const auto path = tmp_ / "fw.bin";
    test::writeImageFile(path, file);
    const ImageLoad r = loadUpdateImage(path, *buffer_);
    ASSERT_TRUE(r.updateEnabled) << r.log;
    EXPECT_EQ(std::tuple(r.pathText, r.firmwareText, r.sizeText, r.log),
              std::tuple(path.string(), "Firmware : \"IR receiver\" Ver 1.2.3 24/05/17 12:34",
                         formatText("Size: 4660 bytes.  CRC16: 0x%04X", {storedCrc(file)}), ""));
    EXPECT_EQ(std::tuple(r.imageSize, r.imageType, r.vid, r.pid, r.header),
              std::tuple(0x1234u, ImageType::Type2, 0x07F7, 0x0019, imageHeader(*buffer_)));
    EXPECT_TRUE(std::equal(file.begin(), file.end(), buffer_->begin() + 0x4000));
    EXPECT_TRUE(std::all_of(buffer_->begin(), buffer_->begin() + 0x4000,
                            [](std::uint8_t b) { return b == 0xFF; }));
    EXPECT_TRUE(allErasedFrom(0x4000 + 0x1234));  // nothing left of the bigger file before

    // An empty file reads fine and has no mark.
    EXPECT_EQ(loadFile({}), 0u);
    EXPECT_EQ(loader_.message(), "no UF mark.");
    EXPECT_TRUE(allErasedFrom(0));
}

TEST_F(ImageLoader, checksTheSizeTheMarkTheFlashSizeAndThePageSizeInThatOrder) {
    const struct {
        ImageShape shape;
        const char* message;  // empty: loaded
    } cases[] = {
        {{.fileSize = 0xFC000, .flashSize = 0x100000}, ""},  // the flash above the boot loader
        {{.fileSize = 0xFC001, .flashSize = 0x100000}, "bad filesize(1032193 > 1MB)"},
        {{.fileSize = 0x209}, "no UF mark."},  // the mark's eighth character is missing
        // The mark's prefix is there; flash_size reads 0xFFFFFFFF.
        {{.fileSize = 0x20A}, "bad flash size(>1MB)."},
        {{.fileSize = 0x1000, .mark = "der32uve2_UF"}, "no UF mark."},
        // The CRC covers the flash up to flash_size only: a file reaching past it is refused.
        {{.fileSize = 0x8000, .flashSize = 0xC000}, ""},
        {{.fileSize = 0x8001, .flashSize = 0xC000},
         "the file is larger than its flash size: 1 bytes would be written unchecked"},
        {{.flashSize = 0x100000}, ""},
        {{.flashSize = 0x3FFF}, "bad flash size(16383 < 16KB)"},
        {{.flashSize = 0x100001, .pageSize = 2048}, "bad flash size(>1MB)."},  // reported first
        {{.pageSize = 2048}, "bad flash pagesize."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const bool ok = *c.message == '\0';
        EXPECT_EQ(loadBuilt(c.shape), ok ? c.shape.fileSize : 0u);
        EXPECT_EQ(loader_.message(), c.message);
        if (ok) continue;
        EXPECT_EQ(loader_.LoadBytes(test::buildImage(c.shape)), 0u);  // from memory alike
        EXPECT_EQ(loader_.message(), c.message);
    }
}

TEST_F(ImageLoader, fileOpenOfAnImageWithoutCrcLogsTheCalculationAndShowsTheComputedValue) {
    ImageShape shape{.type = ImageType::Type1, .flashSize = 0x20000, .withCrc = false};
    const ImageLoad r = loadUpdateImage(test::buildImage(shape), "fw.bin", *buffer_);
    ASSERT_TRUE(r.updateEnabled);
    EXPECT_EQ(r.log, "no crc16 in this file. calculate.\r\nuf_header.flash_size = 131072\r\n");
    shape.withCrc = true;
    const std::uint16_t expected = storedCrc(test::buildImage(shape));
    EXPECT_NE(expected, 0);
    EXPECT_EQ(std::tuple(r.header.crc16, imageHeader(*buffer_).crc16),
              std::tuple(expected, expected));
    EXPECT_EQ(r.sizeText, formatText("Size: 32768 bytes.  CRC16: 0x%04X", {expected}));
    // A stored CRC is kept as it is, even a wrong one: the device's check judges it.
    (*buffer_)[0x4200] = 0x34;
    (*buffer_)[0x4201] = 0x12;
    EXPECT_EQ(completeImageCrc(*buffer_, ImageType::Type1), 0x1234);
}

TEST_F(ImageLoader, fileOpenRefusalsLogTheReasonAndLeaveUpdateDisabled) {
    ImageLoad r = loadUpdateImage(test::buildImage({.mark = "DER32UVE_XX"}), "odd.bin", *buffer_);
    EXPECT_EQ(std::tuple(r.updateEnabled, r.pathText, r.log, r.firmwareText, r.sizeText),
              std::tuple(false, "odd.bin", "uf_header is bad.\r\n", "", ""));

    // Only a regular file counts: a directory is refused as a missing file would be.
    r = loadUpdateImage(tmp_.path(), *buffer_);
    EXPECT_EQ(std::tuple(r.updateEnabled, r.log, r.pathText, r.imageSize),
              std::tuple(false, "Cannot open file.\r\n", tmp_.path().string(), 0u));

    // Nothing chosen: nothing shown, nothing logged.
    r = loadUpdateImage(std::filesystem::path(), *buffer_);
    EXPECT_FALSE(r.updateEnabled);
    EXPECT_EQ(r.pathText + r.log + r.firmwareText + r.sizeText, "");
}

}  // namespace
}  // namespace tessik
