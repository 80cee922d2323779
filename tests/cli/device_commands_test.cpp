// tessik-cli's device commands against the in-process simulated receiver (version, setup,
// firmware), and image-info on firmware images.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "cli/commands.hpp"
#include "core/datafile/data_file.hpp"
#include "core/device/usbhidioc.hpp"
#include "core/firmware/uf_header.hpp"
#include "core/text/format.hpp"
#include "platform/durable_file.hpp"
#include "support/cli_runner.hpp"
#include "support/firmware_images.hpp"
#include "support/model_builders.hpp"
#include "support/temp_dir.hpp"

namespace tessik::cli {
namespace {

using test::CliRun;
using test::runCli;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

struct DeviceCli : ::testing::Test {
    void SetUp() override {
        RemoteModel model = test::modelWithButtons(4);
        test::rewrite(model, [](RemoteTables& t) { t.macros[1] = test::macroNamed(u"Lights", 2); });
        platform::DurableFileReplacer files;
        ASSERT_TRUE(saveDataFile(ird, model, files).ok);
    }
    std::string write(const test::ImageShape& shape, const char* name = "fw.bin") {
        const auto bytes = test::buildImage(shape);
        crc = decodeUfHeader(std::span(bytes).subspan(kUfHeaderFileOffset)).crc16;
        test::writeImageFile(dir / name, bytes);
        return (dir / name).string();
    }
    test::TempDir dir;
    std::string ird = (dir / "remote.ird").string();
    std::uint16_t crc = 0;  // of the image written last
};

// What Set Up Data sends and how each fault ends it are the core's tests; here, the commands'
// wiring: their output, streams and exit status, the trace and the state file.
TEST_F(DeviceCli, versionPrintsTheFirmwareAndSetupWritesTheTableTracingEveryTransfer) {
    const CliRun version = runCli({"version", "--simulate"});
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out, "Firmware: IR receiver\nFirmware Ver 1.2.3\nDate: 24/05/17 10:30\n");
    const std::string state = (dir / "receiver.state").string();
    const std::string trace = (dir / "trace.txt").string();
    const CliRun r = runCli({"setup", ird, "--simulate", "--trace", trace, "--sim-state", state});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Success\n");
    EXPECT_EQ(std::filesystem::file_size(state), 5110u) << "the simulated table is kept";
    std::ifstream in(trace);
    const std::string lines(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 280);  // 140 exchanges, set and get
}

// How a fault ends Set Up Data, what a file or an option may hold and the fault names are the
// core's, the simulated receiver's and the parsers' tests; here, one of each way a command
// fails: its status and its message on standard error, with nothing on standard output.
TEST_F(DeviceCli, failuresGiveTheirStatusAndTheirMessageOnStandardError) {
    const std::string folder = dir.path().string();
    const std::string lost = (dir / "no/s").string();
    std::ofstream(dir / "junk.ird") << "not a data file";
    std::ofstream(dir / "bad.json") << R"({"jitterPercent": 10, "remoteName": "x"})";
    const std::string out = (dir / "out.ird").string();
    test::ImageShape small;
    small.flashSize = 0x3FFF;
    const std::string image = write(small);
    const struct {
        Args args;
        std::string error;
        int status = kExitUsage;
        std::string input = "";
    } cases[] = {
        {{"version", "--simulate", "--sim-fault", "melt"}, "--sim-fault: unknown fault \"melt\""},
        {{"version", "--sim-fault", "absent"}, "--sim-fault requires --simulate"},
        {{"version", "--simulate", "--sim-state", folder}, "is a folder, not a state file"},
        {{"version", "--simulate", "--sim-state", lost}, "its folder does not exist"},
        {{"setup", ird, "--simulate", "--trace", ird},
         "--trace names " + ird + ", the file the command reads"},
        {{"frobnicate"}, "unknown command \"frobnicate\""},
        {{"version", "--simulate", "--trace", (dir / "no/such/dir/t").string()},
         "cannot write the trace file",
         kExitFailure},
        {{"setup", (dir / "missing.ird").string(), "--simulate"}, "missing.ird", kExitFailure},
        {{"setup", ird, "--simulate", "--sim-fault", "nak=0x26"},
         "The infrared data has not been obtained.\ntessik-cli: Failed\n",
         kExitFailure},
        {{"setup", ird, "--simulate", "--sim-fault", "busy=10"},
         "the receiver did not acknowledge Set Ir Code; nothing was written\n",
         kExitFailure},
        {{"setup", ird, "--simulate", "--sim-fault", "absent"},
         "The device is not connected.\n",
         kExitFailure},
        {{"image-info", image}, image + ": bad flash size(16383 < 16KB)\n", kExitFailure},
        {{"export", (dir / "junk.ird").string()},
         "The file has broken. Or it is not a data file.",
         kExitFailure},
        {{"import", (dir / "bad.json").string(), out}, "missing \"header\"", kExitFailure},
        {{"decode"},
         "standard input: line 2: not a duration in microseconds",
         kExitFailure,
         "9000 4500\n560 abc\n"},
        {{"decode"}, "no signal found", kExitFailure, "\n \n"},
        {{"decode", "/nonexistent/x.ir"}, "/nonexistent/x.ir: cannot be read", kExitFailure},
    };
    for (const auto& c : cases) {
        const CliRun r = runCli(c.args, c.input);
        EXPECT_EQ(r.status, c.status) << c.error;
        EXPECT_THAT(r.err, StartsWith("tessik-cli: "));
        EXPECT_THAT(r.err, HasSubstr(c.error));
        EXPECT_EQ(r.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(out));

    EXPECT_EQ(runCli({}).status, kExitUsage);  // with the overview on standard output
    // The faults come from the simulated receiver and its boot loader, which describe them.
    EXPECT_THAT(runCli({"setup", "--help"}).out, HasSubstr("erase-nak=N"));
}

// watch runs until interrupted (the test on a real kernel runs it whole); here, its lines.
TEST(WatchLine, namesTheEventIdentityModeAndNodeInTextOrJson) {
    const HidDeviceInfo normal{"/dev/hidraw3", kVendorId, kProductIdNormal};
    const HidDeviceInfo waiting{"/dev/hid\"raw\x01", kVendorId, kProductIdUpdater};
    EXPECT_EQ(watchLine(WatchEvent::Arrived, normal, false),
              "arrived 07f7:0021 normal /dev/hidraw3");
    EXPECT_EQ(watchLine(WatchEvent::Left, {"/dev/hidraw1", kVendorId, kProductIdAlternate}, false),
              "left 07f7:0019 alternate /dev/hidraw1");
    EXPECT_EQ(watchLine(WatchEvent::Present, waiting, false),
              "present 07f7:0018 boot loader /dev/hid\"raw\\x01");
    EXPECT_EQ(watchLine(WatchEvent::Left, waiting, true),
              R"({"event": "left", "identity": "07f7:0018", "mode": "boot loader", )"
              R"("node": "/dev/hid\"raw\u0001"})");
}

TEST_F(DeviceCli, imageInfoPrintsEveryHeaderFieldAndBothCrcsOrOneRefusalLine) {
    test::ImageShape shape;
    shape.type = ImageType::Type1;
    shape.name = "Receiver \xE9";
    shape.flags = 0x01;
    const CliRun r = runCli({"image-info", write(shape)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, formatText("mark:       DER32UVE_UF\n"
                                "type:       1\n"
                                "name:       Receiver \u00E9\n"
                                "version:    1.2.3\n"
                                "date:       24/05/17\n"
                                "time:       12:34\n"
                                "file size:  32768 bytes\n"
                                "flash_size: 262144 (0x40000)\n"
                                "page_size:  1024\n"
                                "flags:      0x01 (no return after start)\n"
                                "vid/pid:    0x07F7/0x0021\n"
                                "crc16:      0x%04X stored (matches)\n"
                                "computed:   0x%04X\n",
                                {crc, crc}));

    shape.withCrc = false;
    EXPECT_THAT(runCli({"image-info", write(shape)}).out, HasSubstr("crc16:      none stored\n"));
}

TEST_F(DeviceCli, firmwarePrintsTheUpdatesLogAndEndsAFailureWithTheStepsTextAndTheBox) {
    test::ImageShape shape;
    shape.fileSize = 0x6000;
    shape.flashSize = 0xA000;
    shape.name = "IR receiver 2";
    shape.version = {2, 0, 0};
    const std::string path = write(shape, "new.bin");
    const std::string imageLines = formatText(
        "Firmware : \"IR receiver 2\" Ver 2.0.0 24/05/17 12:34\n"
        "Size: 24576 bytes.  CRC16: 0x%04X\n",
        {crc});
    const CliRun r = runCli({"firmware", path, "--simulate"});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.err, "");
    // The update's log is the procedure's, line by line; the box's text closes it.
    EXPECT_THAT(r.out, StartsWith("Current Firmware : \"IR receiver\" Ver 1.2.3 24/05/17 10:30\n" +
                                  imageLines + "Flash Unlock...OK\n"));
    EXPECT_THAT(r.out, EndsWith("\nRun UF...OK. Firmware update succeeded.\nFirmware update "
                                "succeeded.\n"));
    const CliRun waiting = runCli({"firmware", "--simulate", "--sim-update-mode", path});
    EXPECT_EQ(waiting.status, 0) << waiting.out << waiting.err;
    EXPECT_THAT(waiting.out, StartsWith(std::string(kUpdateWaitingText) + "\n" + imageLines));

    const CliRun nak = runCli({"firmware", path, "--simulate", "--sim-fault", "write-nak=0"});
    EXPECT_EQ(nak.status, kExitFailure);
    EXPECT_THAT(nak.out, EndsWith("Flash Erase .OK\nWriting...\nwrite command NG\n"));
    EXPECT_EQ(nak.err, "tessik-cli: Firmware update failed.\n");
    // An image that does not load is not offered to the device.
    test::writeImageFile(dir / "bad.bin", std::vector<std::uint8_t>(0x300, 0x00));
    const CliRun bad = runCli({"firmware", (dir / "bad.bin").string(), "--simulate"});
    EXPECT_EQ(bad.status, kExitFailure);
    EXPECT_EQ(bad.err, "tessik-cli: " + (dir / "bad.bin").string() + ": no UF mark.\n");
    // A running firmware that refuses Get Version is not mistaken for a waiting boot loader.
    const CliRun unknown = runCli({"firmware", path, "--simulate", "--sim-fault", "nak=2"});
    EXPECT_THAT(unknown.err, HasSubstr("did not answer Get Version"));
    EXPECT_THAT(unknown.out, ::testing::Not(HasSubstr(std::string(kUpdateWaitingText))));
}

}  // namespace
}  // namespace tessik::cli
