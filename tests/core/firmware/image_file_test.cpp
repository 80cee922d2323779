#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "core/firmware/image_file.hpp"
#include "core/text/format.hpp"
#include "support/firmware_images.hpp"
#include "support/temp_dir.hpp"

namespace tessik {
namespace {

using test::ImageShape;

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

TEST_F(ImageLoader, placesTheFileAtSixteenKilobytesInAnErasedBuffer) {
    ImageShape big;
    big.fileSize = 0x20000;
    ASSERT_EQ(loadBuilt(big), 0x20000u);
    ImageShape shape;
    shape.fileSize = 0x1234;
    const auto file = test::buildImage(shape);
    ASSERT_EQ(loadFile(file), 0x1234u) << loader_.message();
    EXPECT_EQ(loader_.message(), "");
    EXPECT_TRUE(std::equal(file.begin(), file.end(), buffer_->begin() + 0x4000));
    EXPECT_TRUE(std::all_of(buffer_->begin(), buffer_->begin() + 0x4000,
                            [](std::uint8_t b) { return b == 0xFF; }));
    EXPECT_TRUE(allErasedFrom(0x4000 + 0x1234));  // nothing left of the bigger file before
    EXPECT_EQ(imageHeader(*buffer_), decodeUfHeader(std::span(file).subspan(0x200)));
}

TEST_F(ImageLoader, acceptsFilesUpToTheFlashAboveTheBootLoader) {
    ImageShape shape;
    shape.fileSize = 0xFC000;
    shape.flashSize = 0x100000;
    EXPECT_EQ(loadBuilt(shape), 0xFC000u) << loader_.message();

    shape.fileSize = 0xFC001;
    EXPECT_EQ(loadBuilt(shape), 0u);
    EXPECT_EQ(loader_.message(), "bad filesize(1032193 > 1MB)");
    const auto bytes = test::buildImage(shape);
    EXPECT_EQ(loader_.LoadBytes(bytes), 0u);
    EXPECT_EQ(loader_.message(), "bad filesize(1032193 > 1MB)");
}

TEST_F(ImageLoader, refusesWhatCannotBeOpenedAndFilesWithoutMark) {
    EXPECT_EQ(loader_.Load(tmp_ / "missing.bin"), 0u);
    EXPECT_EQ(loader_.message(), "Cannot open file.");
    EXPECT_EQ(loader_.Load(tmp_.path()), 0u);  // a directory
    EXPECT_EQ(loader_.message(), "Cannot open file.");

    // An empty file reads fine; the erased buffer then holds no mark.
    EXPECT_EQ(loadFile({}), 0u);
    EXPECT_EQ(loader_.message(), "no UF mark.");
    EXPECT_TRUE(allErasedFrom(0));

    ImageShape shape;
    shape.fileSize = 0x209;  // the mark's eighth character is missing
    EXPECT_EQ(loadBuilt(shape), 0u);
    EXPECT_EQ(loader_.message(), "no UF mark.");
    shape.fileSize = 0x20A;  // the mark's prefix is there; flash_size reads 0xFFFFFFFF
    EXPECT_EQ(loadBuilt(shape), 0u);
    EXPECT_EQ(loader_.message(), "bad flash size(>1MB).");
    shape.fileSize = 0x1000;
    shape.mark = "der32uve2_UF";
    EXPECT_EQ(loadBuilt(shape), 0u);
    EXPECT_EQ(loader_.message(), "no UF mark.");
}

TEST_F(ImageLoader, checksFlashSizeBoundsThenPageSize) {
    ImageShape shape;
    for (const std::uint32_t ok : {0x4000u, 0x100000u}) {
        shape.flashSize = ok;
        EXPECT_EQ(loadBuilt(shape), shape.fileSize) << ok << ": " << loader_.message();
    }
    shape.flashSize = 0x3FFF;
    EXPECT_EQ(loadBuilt(shape), 0u);
    EXPECT_EQ(loader_.message(), "bad flash size(16383 < 16KB)");
    shape.flashSize = 0x100001;
    shape.pageSize = 2048;  // the flash size is reported first
    EXPECT_EQ(loadBuilt(shape), 0u);
    EXPECT_EQ(loader_.message(), "bad flash size(>1MB).");
    shape.flashSize = 0x40000;
    EXPECT_EQ(loadBuilt(shape), 0u);
    EXPECT_EQ(loader_.message(), "bad flash pagesize.");
}

TEST_F(ImageLoader, inspectionTypesTheMarkAndRejectsForeignOnes) {
    ImageShape shape;
    shape.type = ImageType::Type1;
    ASSERT_NE(loadBuilt(shape), 0u);
    EXPECT_EQ(inspectImageHeader(*buffer_), ImageType::Type1);
    shape.type = ImageType::Type2;
    ASSERT_NE(loadBuilt(shape), 0u);
    EXPECT_EQ(inspectImageHeader(*buffer_), ImageType::Type2);
    shape.mark = "DER32UVE3_UF";  // passes the loader's 8-character test
    ASSERT_NE(loadBuilt(shape), 0u) << loader_.message();
    EXPECT_EQ(inspectImageHeader(*buffer_), ImageType::None);
}

TEST_F(ImageLoader, completesAMissingCrcInTheBufferOnly) {
    ImageShape shape;
    shape.type = ImageType::Type1;
    const auto withCrc = test::buildImage(shape);
    shape.withCrc = false;
    const auto file = test::buildImage(shape);
    ASSERT_NE(loader_.LoadBytes(file), 0u);
    EXPECT_EQ(imageHeader(*buffer_).crc16, 0);
    const std::uint16_t crc = completeImageCrc(*buffer_, ImageType::Type1);
    EXPECT_EQ(crc, decodeUfHeader(std::span(withCrc).subspan(0x200)).crc16);
    EXPECT_EQ(imageHeader(*buffer_).crc16, crc);
    // A stored CRC is kept as it is, even a wrong one: the device's check judges it.
    (*buffer_)[0x4200] = 0x34;
    (*buffer_)[0x4201] = 0x12;
    EXPECT_EQ(completeImageCrc(*buffer_, ImageType::Type1), 0x1234);
}

class FileOpen : public ImageLoader {};

TEST_F(FileOpen, aGoodImageFillsTheThreeTextsAndEnablesUpdate) {
    ImageShape shape;
    shape.fileSize = 0x6000;
    shape.vid = 0x1234;
    shape.pid = 0x5678;
    const auto file = test::buildImage(shape);
    const auto path = tmp_ / "fw.bin";
    test::writeImageFile(path, file);
    const ImageLoad r = loadUpdateImage(path, *buffer_);
    ASSERT_TRUE(r.updateEnabled) << r.log;
    EXPECT_EQ(r.pathText, path.string());
    EXPECT_EQ(r.firmwareText, "Firmware : \"IR receiver\" Ver 1.2.3 24/05/17 12:34");
    const std::uint16_t crc = decodeUfHeader(std::span(file).subspan(0x200)).crc16;
    EXPECT_EQ(r.sizeText, formatText("Size: 24576 bytes.  CRC16: 0x%04X", {crc}));
    EXPECT_EQ(r.log, "");
    EXPECT_EQ(r.imageSize, 0x6000u);
    EXPECT_EQ(r.imageType, ImageType::Type2);
    EXPECT_EQ(r.vid, 0x1234);
    EXPECT_EQ(r.pid, 0x5678);
    EXPECT_EQ(r.header, imageHeader(*buffer_));
}

TEST_F(FileOpen, anImageWithoutCrcLogsTheCalculationAndShowsTheComputedValue) {
    ImageShape shape;
    shape.flashSize = 0x20000;
    shape.withCrc = false;
    const ImageLoad r = loadUpdateImage(test::buildImage(shape), "fw.bin", *buffer_);
    ASSERT_TRUE(r.updateEnabled);
    EXPECT_EQ(r.log, "no crc16 in this file. calculate.\r\nuf_header.flash_size = 131072\r\n");
    shape.withCrc = true;
    const auto withCrc = test::buildImage(shape);
    const std::uint16_t expected = decodeUfHeader(std::span(withCrc).subspan(0x200)).crc16;
    EXPECT_NE(expected, 0);
    EXPECT_EQ(r.header.crc16, expected);
    EXPECT_EQ(imageHeader(*buffer_).crc16, expected);
    EXPECT_EQ(r.sizeText, formatText("Size: 32768 bytes.  CRC16: 0x%04X", {expected}));
}

TEST_F(FileOpen, refusalsLogTheReasonAndLeaveUpdateDisabled) {
    ImageShape shape;
    shape.mark = "DER32UVE_XX";
    ImageLoad r = loadUpdateImage(test::buildImage(shape), "odd.bin", *buffer_);
    EXPECT_FALSE(r.updateEnabled);
    EXPECT_EQ(r.pathText, "odd.bin");
    EXPECT_EQ(r.log, "uf_header is bad.\r\n");
    EXPECT_EQ(r.firmwareText, "");
    EXPECT_EQ(r.sizeText, "");

    r = loadUpdateImage(tmp_ / "missing.bin", *buffer_);
    EXPECT_FALSE(r.updateEnabled);
    EXPECT_EQ(r.log, "Cannot open file.\r\n");
    EXPECT_EQ(r.pathText, (tmp_ / "missing.bin").string());
    EXPECT_EQ(r.imageSize, 0u);

    // Nothing chosen: nothing shown, nothing logged.
    r = loadUpdateImage(std::filesystem::path(), *buffer_);
    EXPECT_FALSE(r.updateEnabled);
    EXPECT_EQ(r.pathText + r.log + r.firmwareText + r.sizeText, "");
}

}  // namespace
}  // namespace tessik
