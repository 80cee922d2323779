// The whole firmware update against the simulated receiver and its boot loader, on the fake
// clock: what it writes, what it logs and shows, how long it waits, and that every failure
// leaves a device that a second update brings back.

#include <gtest/gtest.h>

#include <numeric>
#include <optional>
#include <tuple>

#include "support/boot_loader_fixture.hpp"

namespace tessik::test {
namespace {

using Update = UpdateFixture;
using WaitingUpdate = WaitingUpdateFixture;

constexpr std::string_view kUpToWriting =
    "Flash Unlock...OK\r\n"
    "Flash Erase .OK\r\n"
    "Writing...\r\n";

// The blocks of newFirmwareShape() that are all 0xFF, and so not sent: 48 erased in the file
// and the 224 of flash_size behind it. The procedure pauses 10 ms for each.
constexpr std::uint32_t kSkippedBlocks = 48 + 224;
constexpr std::uint32_t kSkipPausesMs = 10 * kSkippedBlocks;

TEST_F(Update, anApplicationModeDeviceGetsTheImageAndComesBackAsTheNewFirmware) {
    ImageShape shape = newFirmwareShape();
    shape.pid = kProductIdAlternate;  // the new firmware shows itself under another identity
    load(shape);
    openMainWindow();

    ASSERT_EQ(runUpdate(), UpdateOutcome::Succeeded);
    expectSucceeded();
    EXPECT_EQ(bootLoader->blocksWritten(), 1024u - kSkippedBlocks);  // of 256 KB
    EXPECT_EQ(bootLoader->erases(), 1u);
    // Two looks for the boot loader, two for the new firmware (each back after 1.5 s).
    EXPECT_EQ(pausedMs, 2 * 1000u + 2 * 1000u + kSkipPausesMs);

    // The main window's link looks for the new identity and finds the new firmware there, whose
    // version the main window then holds.
    EXPECT_EQ(receiver.identity(), (sim::Identity{kVendorId, kProductIdAlternate, 512}));
    EXPECT_EQ(mainLink.productId, kProductIdAlternate);
    EXPECT_EQ(decodeUfHeader(running), loaded.header);
}

// A device waiting in its boot loader is reached directly and only the start is awaited (none
// when flags bit 0 says the firmware does not come back over USB); blocks that are all 0xFF or
// lie past the image buffer are not sent; an erase is tried up to three times.
TEST_F(WaitingUpdate, succeedsWithTheLogWaitsAndBlocksOfEachImage) {
    openMainWindow();
    // The running-firmware line: the boot loader waiting here; no device when nothing was found.
    EXPECT_EQ(runningFirmwareText(decodeUfHeader(running), Language::English), kUpdateWaitingText);
    EXPECT_EQ(runningFirmwareText(UfHeader{}, Language::English), "The device is not connected.");
    // A boot loader this user may not open is not "not connected".
    EXPECT_EQ(updateVerdict({UpdateOutcome::NotConnected, {DeviceError::NoPermission, ""}},
                            Language::English)
                  .text,
              text(StringId::DeviceAccessDenied, Language::English));
    ImageShape flagged = newFirmwareShape();
    flagged.flags = 0x01;
    ImageShape wholeFlash = newFirmwareShape();
    wholeFlash.fileSize = 0xFC000;
    wholeFlash.flashSize = 0x100000;  // the write loop would reach 16 KB past the buffer
    wholeFlash.erased = {};
    const struct {
        const char* name;
        ImageShape shape;
        std::uint32_t eraseNaks;
        std::uint32_t startWait;
        std::uint32_t skipped;  // the 16 KB of the whole flash past the buffer: 64 blocks
    } cases[] = {
        {"plain", newFirmwareShape(), 0, 2000, kSkippedBlocks},
        {"no return over USB", flagged, 0, 0, kSkippedBlocks},
        {"erase refused twice", newFirmwareShape(), 2, 2000, kSkippedBlocks},
        {"up to the end of the flash", wholeFlash, 0, 2000, 64},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        load(c.shape);
        receiver.setIdentity(sim::updateModeIdentity());
        bootLoader->faults().eraseNaks = c.eraseNaks;
        const std::uint64_t pausedBefore = pausedMs;
        const std::uint32_t writtenBefore = bootLoader->blocksWritten();
        ASSERT_EQ(runUpdate(), UpdateOutcome::Succeeded);
        std::string log(kSucceededLog);
        log.insert(log.find(" .OK") + 1, c.eraseNaks, '.');  // a dot for every try
        expectSucceeded(log);
        EXPECT_EQ(pausedMs - pausedBefore, c.startWait + 10u * c.skipped);
        const int blocks = static_cast<int>(loaded.header.flash_size / kFlashBlockSize);
        EXPECT_EQ(bootLoader->blocksWritten() - writtenBefore, blocks - c.skipped);
        // 0, unlocked, erased, a step per block (sent or not), written, CRC checked, started.
        std::vector<int> progress(blocks + 6);
        std::iota(progress.begin(), progress.end(), 0);
        EXPECT_EQ(sink.positions, progress);
        EXPECT_EQ(std::tuple(sink.rangeLow, sink.rangeHigh, sink.repaints),
                  std::tuple(0, blocks + 5, blocks + 3));
        clock.advance(sim::BootLoaderOptions{}.startDelayMs);
        VersionArea after{};
        ASSERT_TRUE(commands.GetVersion(after));
        EXPECT_EQ(decodeUfHeader(after), loaded.header);
    }
}

TEST_F(Update, anImageForTheOtherBootLoaderStopsBeforeTheFlashIsUnlocked) {
    ImageShape type1 = newFirmwareShape();
    type1.type = ImageType::Type1;
    load(type1);
    openMainWindow();
    const ImageBuffer before = bootLoader->flash();

    ASSERT_EQ(runUpdate(), UpdateOutcome::TypeMismatch);
    EXPECT_EQ(sink.log, "Mismatch FCF and UF version.\r\n");
    EXPECT_EQ(notifier.messages, std::vector<Message>{updateBox(StringId::FirmwareUpdateFailed)});
    EXPECT_FALSE(bootLoader->unlocked());
    EXPECT_EQ(bootLoader->erases(), 0u);
    EXPECT_TRUE(bootLoader->flash() == before);

    // The same image suits a boot loader of its own generation, and the type 2 image does not.
    std::string error;
    ASSERT_TRUE(receiver.applyFault("identity=DER32UVE", error)) << error;
    ASSERT_EQ(runUpdate(), UpdateOutcome::Succeeded);
    expectSucceeded();
    load(newFirmwareShape());
    EXPECT_EQ(runUpdate(), UpdateOutcome::TypeMismatch);
}

// ---------------------------------------------------------------------------------------------
// Failures, each followed by a second update that succeeds once the fault is gone and the
// device has been plugged in again.

struct FailureCase {
    const char* name;
    const char* fault;  // as --sim-fault names it
    bool startInBootLoader;
    UpdateOutcome outcome;
    std::string log;
    StringId box;
    std::optional<std::uint32_t> waited;  // ms slept, when the failure is at a known step
    DeviceError device;                   // what became of the boot loader's last exchange
    friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }
};

class UpdateFailure : public UpdateFixture, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(UpdateFailure, isReportedAndASecondUpdateSucceeds) {
    const FailureCase& c = GetParam();
    openMainWindow();
    if (c.startInBootLoader) receiver.setIdentity(sim::updateModeIdentity());
    std::string error;
    ASSERT_TRUE(receiver.applyFault(c.fault, error)) << error;
    const std::uint64_t pausedBefore = pausedMs;
    EXPECT_EQ(runUpdate(), c.outcome);
    EXPECT_EQ(sink.log, c.log);
    EXPECT_EQ(notifier.messages, std::vector<Message>{updateBox(c.box)});
    EXPECT_EQ(result.device.error, c.device);
    EXPECT_FALSE(updater.connected());
    if (c.waited) {
        EXPECT_EQ(pausedMs - pausedBefore, *c.waited);
    }

    receiver.faults() = sim::Faults{};
    bootLoader->faults() = sim::BootLoaderFaults{};
    receiver.plug();
    ASSERT_EQ(runUpdate(), UpdateOutcome::Succeeded);
    expectSucceeded();
}

const std::string kNotConnected = "device is not connected...\r\n";
const std::string kWriteNg = std::string(kUpToWriting) + "write command NG";
const std::string kCrcStep = std::string(kUpToWriting) + "OK\r\nCRC16 check...";
constexpr StringId kFailed = StringId::FirmwareUpdateFailed;

INSTANTIATE_TEST_SUITE_P(
    Faults, UpdateFailure,
    ::testing::Values(
        FailureCase{"NoDevice", "absent", false, UpdateOutcome::NotConnected, kNotConnected,
                    StringId::DeviceNotConnected, 0, DeviceError::NotConnected},
        FailureCase{"NeverReady", "never-ready", false, UpdateOutcome::NotConnected, kNotConnected,
                    StringId::DeviceNotConnected, 0, DeviceError::NotConnected},
        FailureCase{"NoReturnFromModeSwitch", "no-return", false, UpdateOutcome::NotConnected,
                    kNotConnected, StringId::DeviceNotConnected, 60 * 1000,
                    DeviceError::NotConnected},
        FailureCase{"UnlockRefused", "nak=4", false, UpdateOutcome::UnlockFailed,
                    "Flash Unlock...Error\r\n", kFailed, 2000, DeviceError::Nak},
        FailureCase{"EraseRefusedThreeTimes", "erase-nak=3", false, UpdateOutcome::EraseFailed,
                    "Flash Unlock...OK\r\nFlash Erase ... Error\r\n", kFailed, 2000,
                    DeviceError::Nak},
        FailureCase{"BlockRefused", "write-nak=5", false, UpdateOutcome::WriteFailed, kWriteNg,
                    kFailed, std::nullopt, DeviceError::Nak},
        FailureCase{"UnpluggedWhileWriting", "unplug-after=40", false, UpdateOutcome::WriteFailed,
                    kWriteNg, kFailed, std::nullopt, DeviceError::TransferFailed},
        FailureCase{"CrcCommandRefused", "nak=10", false, UpdateOutcome::CrcCommandFailed,
                    kCrcStep + "command NG", kFailed, 2000 + kSkipPausesMs, DeviceError::Nak},
        // The device's CRC over the image with one bit of the header's block flipped.
        FailureCase{"CrcDiffers", "corrupt-block=2", false, UpdateOutcome::CrcMismatch,
                    kCrcStep + "calc:0x749f send:0xadf5 NG", kFailed, 2000 + kSkipPausesMs,
                    DeviceError::None},
        FailureCase{"NoReturnAfterStart", "no-return", true, UpdateOutcome::StartFailed,
                    kCrcStep + "OK\r\nRun UF...ERROR\r\n", kFailed, 60 * 1000 + kSkipPausesMs,
                    DeviceError::NotConnected}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tessik::test
