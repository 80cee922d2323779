#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "core/firmware/crc16.hpp"
#include "core/firmware/image_layout.hpp"
#include "support/firmware_images.hpp"

namespace tessik {
namespace {

std::vector<std::uint8_t> bytesOf(std::string_view s) {
    return {s.begin(), s.end()};
}

TEST(Crc16, matchesTheXmodemCheckValueAndResumes) {
    const auto check = bytesOf("123456789");
    EXPECT_EQ(crc16(0, check), 0x31C3);
    EXPECT_EQ(crc16(0x1234, {}), 0x1234);  // nothing to add: the initial value
    EXPECT_EQ(crc16(crc16(0, std::span(check).first(4)), std::span(check).subspan(4)), 0x31C3);
    EXPECT_EQ(crc16Repeat(0x31C3, 0xFF, 300), crc16(0x31C3, std::vector<std::uint8_t>(300, 0xFF)));
    EXPECT_EQ(crc16Repeat(0x31C3, 0xFF, 0), 0x31C3);
}

class ImageCrc : public ::testing::Test {
  protected:
    // A 1 MB flash holding a full-size image of random bytes from 0x4000 on.
    void SetUp() override {
        test::ImageShape shape;
        shape.fileSize = kMaxImageFileSize;
        flash_ = test::flashWithImage(test::buildImage(shape));
    }
    std::span<const std::uint8_t> piece(std::size_t begin, std::size_t end) const {
        return std::span<const std::uint8_t>(*flash_).subspan(begin, end - begin);
    }
    // The two pieces: 512 bytes before the header, then from after crc16 up to `end`.
    std::uint16_t expected(std::size_t end) const {
        return crc16(crc16(0, piece(0x4000, 0x4200)), piece(0x4202, end));
    }
    std::unique_ptr<ImageBuffer> flash_;
};

TEST_F(ImageCrc, type2CoversUpToFlashSizeAndType1TwoHundredHexBeyond) {
    // {flash_size, the end of type 2's second piece, of type 1's}. 0x4202: the first piece only;
    // a second piece of a negative length adds nothing.
    const std::array<std::uint32_t, 3> cases[] = {
        {0x40000, 0x40000, 0x40200}, {0x4100, 0x4202, 0x4300}, {0x4202, 0x4202, 0x4402},
        {0x4203, 0x4203, 0x4403},    {0x4000, 0x4202, 0x4202},
    };
    for (const auto& [flashSize, end2, end1] : cases) {
        EXPECT_EQ(imageCrc16(*flash_, ImageType::Type2, flashSize), expected(end2)) << flashSize;
        EXPECT_EQ(imageCrc16(*flash_, ImageType::Type1, flashSize), expected(end1)) << flashSize;
    }

    // The stored CRC field itself is never covered; the byte at the end of the range is not.
    const std::uint16_t before = expected(0x40000);
    (*flash_)[0x4200] ^= 0x5A;
    (*flash_)[0x4201] ^= 0xA5;
    (*flash_)[0x40000] ^= 0x01;
    EXPECT_EQ(imageCrc16(*flash_, ImageType::Type2, 0x40000), before);
    (*flash_)[0x3FFFF] ^= 0x01;
    EXPECT_NE(imageCrc16(*flash_, ImageType::Type2, 0x40000), before);
}

TEST_F(ImageCrc, bytesBeyondTheBufferCountAsErasedAndAreNeverRead) {
    // Type 1 at the largest flash_size covers 0x200 bytes past the 1 MB buffer. The buffer is a
    // heap block of exactly 1 MB, so any read past it shows up under AddressSanitizer.
    std::vector<std::uint8_t> larger(flash_->begin(), flash_->end());
    larger.resize(kImageBufferSize + 0x200, 0xFF);
    const std::uint16_t crc = imageCrc16(*flash_, ImageType::Type1, 0x100000);
    EXPECT_EQ(crc, imageCrc16(larger, ImageType::Type1, 0x100000));
    EXPECT_EQ(crc, crc16Repeat(expected(kImageBufferSize), 0xFF, 0x200));

    // A shorter flash (a small simulated device) reads as erased beyond its end too.
    std::vector<std::uint8_t> small(flash_->begin(), flash_->begin() + 0x8000);
    EXPECT_EQ(imageCrc16(small, ImageType::Type2, 0x9000),
              crc16Repeat(expected(0x8000), 0xFF, 0x1000));
}

TEST_F(ImageCrc, aComputedZeroIsStoredAsFFFF) {
    // For this CRC, appending a result big-endian makes the CRC over everything 0.
    const std::uint16_t partial = expected(0x40000 - 2);
    (*flash_)[0x3FFFE] = static_cast<std::uint8_t>(partial >> 8);
    (*flash_)[0x3FFFF] = static_cast<std::uint8_t>(partial);
    ASSERT_EQ(imageCrc16(*flash_, ImageType::Type2, 0x40000), 0);
    EXPECT_EQ(headerCrc16(*flash_, ImageType::Type2, 0x40000), 0xFFFF);
    EXPECT_EQ(headerCrc16(*flash_, ImageType::Type2, 0x3FFFF), expected(0x3FFFF));
}

}  // namespace
}  // namespace tessik
