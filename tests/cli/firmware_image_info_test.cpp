#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/firmware/image_file.hpp"
#include "core/text/format.hpp"
#include "support/cli_runner.hpp"
#include "support/firmware_images.hpp"
#include "support/temp_dir.hpp"

namespace tessik::cli {
namespace {

using ::testing::HasSubstr;

class ImageInfo : public ::testing::Test {
  protected:
    std::string write(const test::ImageShape& shape, const char* name = "fw.bin") {
        const auto path = tmp_ / name;
        test::writeImageFile(path, test::buildImage(shape));
        return path.string();
    }
    test::TempDir tmp_;
};

TEST_F(ImageInfo, printsEveryHeaderFieldAndBothCrcs) {
    test::ImageShape shape;
    shape.type = ImageType::Type1;
    shape.name = "Receiver \xE9";
    shape.flashSize = 0x40000;
    shape.flags = 0x01;
    shape.vid = 0x07F7;
    shape.pid = 0x0021;
    const auto bytes = test::buildImage(shape);
    const std::uint16_t crc = decodeUfHeader(std::span(bytes).subspan(0x200)).crc16;
    const std::string path = write(shape);

    const test::CliRun r = test::runCli({"image-info", path});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_THAT(r.out, HasSubstr("mark:       DER32UVE_UF\n"));
    EXPECT_THAT(r.out, HasSubstr("type:       1\n"));
    EXPECT_THAT(r.out, HasSubstr("name:       Receiver \u00E9\n"));
    EXPECT_THAT(r.out, HasSubstr("version:    1.2.3\n"));
    EXPECT_THAT(r.out, HasSubstr("date:       24/05/17\n"));
    EXPECT_THAT(r.out, HasSubstr("time:       12:34\n"));
    EXPECT_THAT(r.out, HasSubstr("file size:  32768 bytes\n"));
    EXPECT_THAT(r.out, HasSubstr("flash_size: 262144 (0x40000)\n"));
    EXPECT_THAT(r.out, HasSubstr("page_size:  1024\n"));
    EXPECT_THAT(r.out, HasSubstr("flags:      0x01 (no return after start)\n"));
    EXPECT_THAT(r.out, HasSubstr("vid/pid:    0x07F7/0x0021\n"));
    EXPECT_THAT(r.out, HasSubstr(formatText("crc16:      0x%04X stored (matches)\n", {crc})));
    EXPECT_THAT(r.out, HasSubstr(formatText("computed:   0x%04X\n", {crc})));
}

TEST_F(ImageInfo, tellsAMissingOrWrongStoredCrcFromTheComputedOne) {
    test::ImageShape shape;
    shape.withCrc = false;
    const test::CliRun none = test::runCli({"image-info", write(shape)});
    ASSERT_EQ(none.status, 0) << none.err;
    EXPECT_THAT(none.out, HasSubstr("crc16:      none stored\n"));

    auto bytes = test::buildImage(shape);
    bytes[0x200] = 0x01;  // a stored CRC that is not the image's
    test::writeImageFile(tmp_ / "bad.bin", bytes);
    const test::CliRun wrong = test::runCli({"image-info", (tmp_ / "bad.bin").string()});
    ASSERT_EQ(wrong.status, 0) << wrong.err;
    EXPECT_THAT(wrong.out, HasSubstr("crc16:      0x0001 stored (differs from the image)\n"));
}

TEST_F(ImageInfo, aRefusedImageGivesTheLoadersMessageAsOneErrorLine) {
    test::ImageShape shape;
    shape.flashSize = 0x3FFF;
    const std::string small = write(shape, "small.bin");
    test::CliRun r = test::runCli({"image-info", small});
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "tessik-cli: " + small + ": bad flash size(16383 < 16KB)\n");

    shape.flashSize = 0x40000;
    shape.mark = "DER32UVE3_UF";
    const std::string foreign = write(shape, "foreign.bin");
    r = test::runCli({"image-info", foreign});
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.err, "tessik-cli: " + foreign + ": uf_header is bad.\n");

    r = test::runCli({"image-info"});
    EXPECT_EQ(r.status, kExitUsage);
}

}  // namespace
}  // namespace tessik::cli
