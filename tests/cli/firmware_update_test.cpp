// tessik-cli firmware against the simulated receiver: the dialog's texts and log as lines, the
// outcome as the exit status.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "core/firmware/uf_header.hpp"
#include "support/cli_runner.hpp"
#include "support/firmware_images.hpp"
#include "support/temp_dir.hpp"

namespace tessik::cli {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class FirmwareCommand : public ::testing::Test {
  protected:
    FirmwareCommand() {
        shape_.fileSize = 0x6000;
        shape_.flashSize = 0x8000;
        shape_.name = "IR receiver 2";
        shape_.version = {2, 0, 0};
        const auto bytes = test::buildImage(shape_);
        crc_ = decodeUfHeader(std::span(bytes).subspan(0x200)).crc16;
        path_ = (tmp_ / "new.bin").string();
        test::writeImageFile(path_, bytes);
    }
    std::string imageLines() const {
        char size[64];
        std::snprintf(size, sizeof size, "Size: 24576 bytes.  CRC16: 0x%04X\n", crc_);
        return "Firmware : \"IR receiver 2\" Ver 2.0.0 24/05/17 12:34\n" + std::string(size);
    }

    test::TempDir tmp_;
    test::ImageShape shape_;
    std::uint16_t crc_ = 0;
    std::string path_;
};

TEST_F(FirmwareCommand, printsTheDialogsTextsAndTheSixLinesOfASuccessfulUpdate) {
    const test::CliRun r = test::runCli({"firmware", path_, "--simulate"});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "Current Firmware : \"IR receiver\" Ver 1.2.3 24/05/17 10:30\n" +
                         imageLines() +
                         "Flash Unlock...OK\n"
                         "Flash Erase .OK\n"
                         "Writing...\n"
                         "OK\n"
                         "CRC16 check...OK\n"
                         "Run UF...OK. Firmware update succeeded.\n"
                         "Firmware update succeeded.\n");
}

TEST_F(FirmwareCommand, updatesADeviceWaitingInItsBootLoader) {
    const test::CliRun r = test::runCli({"firmware", "--simulate", "--sim-update-mode", path_});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_THAT(r.out, StartsWith("There is a device firmware update waiting state. Run the "
                                  "firmware updates.\n" +
                                  imageLines()));
    EXPECT_THAT(r.out, EndsWith("Firmware update succeeded.\n"));
}

TEST_F(FirmwareCommand, failsWithTheStepsTextOnItsOwnLineAndTheFailureBox) {
    const test::CliRun r =
        test::runCli({"firmware", path_, "--simulate", "--sim-fault", "write-nak=0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.out, EndsWith("Flash Erase .OK\nWriting...\nwrite command NG\n"
                                "Firmware update failed.\n"));
}

TEST_F(FirmwareCommand, anImageThatDoesNotLoadIsNotOffered) {
    const auto bad = tmp_ / "bad.bin";
    test::writeImageFile(bad, std::vector<std::uint8_t>(0x300, 0x00));
    const test::CliRun r = test::runCli({"firmware", bad.string(), "--simulate"});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.out, EndsWith("no UF mark.\n"));
    EXPECT_THAT(r.out, ::testing::Not(HasSubstr("Flash")));

    EXPECT_EQ(test::runCli({"firmware", "--simulate"}).status, 2);
    EXPECT_EQ(test::runCli({"firmware", path_, "--sim-update-mode"}).err,
              "tessik-cli: --sim-update-mode needs --simulate\n");
}

}  // namespace
}  // namespace tessik::cli
