// The whole firmware update against the simulated receiver and its boot loader, on the fake
// clock: what it writes, what it logs and shows, how long it waits, and that every failure
// leaves a device that a second update brings back.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "sim/boot_loader_fixture.hpp"

namespace tessik::test {
namespace {

using Update = UpdateFixture;
using WaitingUpdate = WaitingUpdateFixture;

constexpr std::string_view kSixLines =
    "Flash Unlock...OK\r\n"
    "Flash Erase .OK\r\n"
    "Writing...\r\n"
    "OK\r\n"
    "CRC16 check...OK\r\n"
    "Run UF...OK. Firmware update succeeded.\r\n";

constexpr std::string_view kUpToWriting =
    "Flash Unlock...OK\r\n"
    "Flash Erase .OK\r\n"
    "Writing...\r\n";

TEST_F(Update, anApplicationModeDeviceGetsTheImageAndComesBackAsTheNewFirmware) {
    ImageShape shape = newFirmwareShape();
    shape.pid = kProductIdAlternate;  // the new firmware shows itself under another identity
    load(shape);
    openMainWindow();

    ASSERT_EQ(runUpdate(), UpdateOutcome::Succeeded);
    EXPECT_EQ(sink.log, kSixLines);
    EXPECT_EQ(notifier.messages,
              std::vector<Message>{updateBox(StringId::FirmwareUpdateSucceeded)});
    EXPECT_TRUE(flashHoldsImage());
    const std::uint32_t blocks = loaded.header.flash_size / 256;
    EXPECT_GT(erasedBlocks(), 48u + 200u);  // the stretch in the file and the flash behind it
    EXPECT_EQ(bootLoader->blocksWritten(), blocks - erasedBlocks());
    EXPECT_EQ(bootLoader->erases(), 1u);
    // Two looks for the boot loader, two for the new firmware (each back after 1.5 s), and
    // 10 ms for every block that was not sent.
    EXPECT_EQ(clock.totalSlept(), 2 * 1000u + 2 * 1000u + 10u * erasedBlocks());

    // The main window's link looks for the new identity and finds the new firmware there.
    EXPECT_EQ(receiver.identity(), (sim::Identity{kVendorId, kProductIdAlternate, 512}));
    EXPECT_EQ(mainLink.productId, kProductIdAlternate);
    VersionArea after{};
    ASSERT_TRUE(commands.GetVersion(after));
    EXPECT_EQ(decodeUfHeader(after), loaded.header);
    EXPECT_EQ(runningFirmwareText(decodeUfHeader(after)),
              "Current Firmware : \"IR receiver 2\" Ver 2.0.0 24/06/01 12:34");
}

TEST_F(WaitingUpdate, aDeviceWaitingInItsBootLoaderIsReachedDirectly) {
    openMainWindow();
    EXPECT_EQ(runningFirmwareText(decodeUfHeader(running)), kUpdateWaitingText);
    ASSERT_EQ(runUpdate(), UpdateOutcome::Succeeded);
    EXPECT_EQ(sink.log, kSixLines);
    EXPECT_TRUE(flashHoldsImage());
    EXPECT_EQ(clock.totalSlept(), 2 * 1000u + 10u * erasedBlocks());  // only the start is awaited
    VersionArea after{};
    ASSERT_TRUE(commands.GetVersion(after));
    EXPECT_EQ(decodeUfHeader(after), loaded.header);
}

TEST_F(WaitingUpdate, aFirmwareThatDoesNotComeBackOverUsbIsNotWaitedFor) {
    ImageShape shape = newFirmwareShape();
    shape.flags = 0x01;
    load(shape);
    openMainWindow();
    ASSERT_EQ(runUpdate(), UpdateOutcome::Succeeded);
    EXPECT_EQ(sink.log, kSixLines);
    EXPECT_EQ(clock.totalSlept(), 10u * erasedBlocks());
}

TEST_F(WaitingUpdate, progressRunsFromZeroToBlocksPlusFive) {
    ImageShape shape = newFirmwareShape();
    shape.fileSize = 0x2000;
    shape.flashSize = 0x4000;  // 64 blocks
    load(shape);
    openMainWindow();
    ASSERT_EQ(runUpdate(), UpdateOutcome::Succeeded);
    EXPECT_EQ(sink.rangeLow, 0);
    EXPECT_EQ(sink.rangeHigh, 69);
    std::vector<int> expected{0, 1, 2};
    for (int i = 0; i < 64; ++i)
        expected.push_back(3 + i);
    expected.insert(expected.end(), {67, 68, 69});
    EXPECT_EQ(sink.positions, expected);
    EXPECT_EQ(sink.repaints, 64 + 3);  // every block, then after writing, CRC and start
}

TEST_F(WaitingUpdate, blocksPastTheImageBufferCountAsErasedAndAreNotSent) {
    ImageShape shape = newFirmwareShape();
    shape.fileSize = 0xFC000;
    shape.flashSize = 0x100000;  // the write loop would reach 16 KB past the buffer
    shape.erased = {};
    load(shape);
    openMainWindow();
    ASSERT_EQ(runUpdate(), UpdateOutcome::Succeeded);
    EXPECT_EQ(sink.log, kSixLines);
    EXPECT_EQ(erasedBlocks(), 64u);
    EXPECT_EQ(bootLoader->blocksWritten(), 4096u - 64u);
    EXPECT_TRUE(flashHoldsImage());
}

TEST_F(WaitingUpdate, anEraseRefusedTwiceIsTriedAThirdTime) {
    openMainWindow();
    bootLoader->faults().eraseNaks = 2;
    ASSERT_EQ(runUpdate(), UpdateOutcome::Succeeded);
    EXPECT_EQ(sink.log,
              "Flash Unlock...OK\r\n"
              "Flash Erase ...OK\r\n"
              "Writing...\r\n"
              "OK\r\n"
              "CRC16 check...OK\r\n"
              "Run UF...OK. Firmware update succeeded.\r\n");
    EXPECT_TRUE(flashHoldsImage());
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

    // The same image suits a boot loader of its own generation.
    std::string error;
    ASSERT_TRUE(receiver.applyFault("identity=DER32UVE", error)) << error;
    ASSERT_EQ(runUpdate(), UpdateOutcome::Succeeded);
    EXPECT_EQ(sink.log, kSixLines);
    EXPECT_TRUE(flashHoldsImage());

    // And the type 2 image does not suit that one.
    load(newFirmwareShape());
    EXPECT_EQ(runUpdate(), UpdateOutcome::TypeMismatch);
}

// ---------------------------------------------------------------------------------------------
// Failures, each followed by a second update that succeeds.

struct FailureCase {
    std::string name;
    std::function<void(UpdateFixture&)> fault;
    std::function<void(UpdateFixture&)> mend;
    UpdateOutcome outcome;
    std::string log;  // "CRC" stands for the device's "calc:0x.. send:0x.. " text
    StringId box = StringId::FirmwareUpdateFailed;
    std::uint32_t waited = 0;  // ms slept besides the 10 ms per block not sent

    friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }
};

constexpr std::uint32_t kCorruptBlock = 2;  // the header's block

std::string crcValuesText(std::uint16_t device, std::uint16_t image) {
    char text[40];
    std::snprintf(text, sizeof text, "calc:0x%x send:0x%x ", device, image);
    return text;
}

class UpdateFailure : public UpdateFixture, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(UpdateFailure, isReportedAndASecondUpdateSucceeds) {
    const FailureCase& c = GetParam();
    openMainWindow();
    c.fault(*this);
    const std::uint64_t sleptBefore = clock.totalSlept();
    EXPECT_EQ(runUpdate(), c.outcome);

    std::string log = c.log;
    if (c.outcome == UpdateOutcome::CrcMismatch) {
        // What the device computes over the image with the one flipped bit.
        auto corrupted = std::make_unique<ImageBuffer>(*image);
        (*corrupted)[kImageOffset + (kCorruptBlock + 1) * kFlashBlockSize - 1] ^= 0x01;
        const std::uint16_t device =
            headerCrc16(*corrupted, ImageType::Type2, loaded.header.flash_size);
        ASSERT_NE(device, loaded.header.crc16);
        log.replace(log.find("CRC16 check...") + 14, 3, crcValuesText(device, loaded.header.crc16));
    }
    EXPECT_EQ(sink.log, log);
    EXPECT_EQ(notifier.messages, std::vector<Message>{updateBox(c.box)});
    EXPECT_FALSE(updater.connected());
    const std::uint64_t blockPauses =
        sink.log.find("Writing...") == std::string::npos ? 0 : 10u * erasedBlocks();
    if (c.outcome != UpdateOutcome::WriteFailed) {
        EXPECT_EQ(clock.totalSlept() - sleptBefore, c.waited + blockPauses);
    }

    c.mend(*this);
    ASSERT_EQ(runUpdate(), UpdateOutcome::Succeeded);
    EXPECT_EQ(sink.log, kSixLines);
    EXPECT_TRUE(flashHoldsImage());
    EXPECT_EQ(notifier.messages,
              std::vector<Message>{updateBox(StringId::FirmwareUpdateSucceeded)});
}

void none(UpdateFixture&) {}
void replug(UpdateFixture& f) {
    f.receiver.plug();
}
void waitInBootLoader(UpdateFixture& f) {
    f.receiver.setIdentity(sim::updateModeIdentity());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, UpdateFailure,
    ::testing::Values(
        FailureCase{"NoDevice", [](UpdateFixture& f) { f.receiver.faults().absent = true; },
                    [](UpdateFixture& f) { f.receiver.faults().absent = false; },
                    UpdateOutcome::NotConnected, "device is not connected...\r\n",
                    StringId::DeviceNotConnected},
        FailureCase{"NeverReady",
                    [](UpdateFixture& f) { f.bootLoader->faults().neverReady = true; },
                    [](UpdateFixture& f) { f.bootLoader->faults().neverReady = false; },
                    UpdateOutcome::NotConnected, "device is not connected...\r\n",
                    StringId::DeviceNotConnected},
        FailureCase{"NoReturnFromModeSwitch",
                    [](UpdateFixture& f) { f.bootLoader->faults().noReturn = true; },
                    [](UpdateFixture& f) {
                        f.bootLoader->faults().noReturn = false;
                        replug(f);  // the user plugs it in again: it is in its boot loader
                    },
                    UpdateOutcome::NotConnected, "device is not connected...\r\n",
                    StringId::DeviceNotConnected, 60 * 1000},
        FailureCase{"UnlockRefused", [](UpdateFixture& f) { f.receiver.faults().nakCode = 4; },
                    [](UpdateFixture& f) { f.receiver.faults().nakCode.reset(); },
                    UpdateOutcome::UnlockFailed, "Flash Unlock...Error\r\n",
                    StringId::FirmwareUpdateFailed, 2000},
        FailureCase{"EraseRefusedThreeTimes",
                    [](UpdateFixture& f) { f.bootLoader->faults().eraseNaks = 3; }, none,
                    UpdateOutcome::EraseFailed, "Flash Unlock...OK\r\nFlash Erase ... Error\r\n",
                    StringId::FirmwareUpdateFailed, 2000},
        FailureCase{"BlockRefused", [](UpdateFixture& f) { f.bootLoader->faults().nakBlock = 5; },
                    [](UpdateFixture& f) { f.bootLoader->faults().nakBlock.reset(); },
                    UpdateOutcome::WriteFailed, std::string(kUpToWriting) + "write command NG"},
        FailureCase{"UnpluggedWhileWriting",
                    [](UpdateFixture& f) { f.receiver.faults().unplugAfter = 40; }, replug,
                    UpdateOutcome::WriteFailed, std::string(kUpToWriting) + "write command NG"},
        FailureCase{"CrcCommandRefused", [](UpdateFixture& f) { f.receiver.faults().nakCode = 10; },
                    [](UpdateFixture& f) { f.receiver.faults().nakCode.reset(); },
                    UpdateOutcome::CrcCommandFailed,
                    std::string(kUpToWriting) + "OK\r\nCRC16 check...command NG",
                    StringId::FirmwareUpdateFailed, 2000},
        FailureCase{"CrcDiffers",
                    [](UpdateFixture& f) { f.bootLoader->faults().corruptBlock = kCorruptBlock; },
                    [](UpdateFixture& f) { f.bootLoader->faults().corruptBlock.reset(); },
                    UpdateOutcome::CrcMismatch,
                    std::string(kUpToWriting) + "OK\r\nCRC16 check...CRCNG",
                    StringId::FirmwareUpdateFailed, 2000},
        FailureCase{"NoReturnAfterStart",
                    [](UpdateFixture& f) {
                        waitInBootLoader(f);
                        f.bootLoader->faults().noReturn = true;
                    },
                    [](UpdateFixture& f) {
                        f.bootLoader->faults().noReturn = false;
                        replug(f);  // it comes up running the new firmware
                    },
                    UpdateOutcome::StartFailed,
                    std::string(kUpToWriting) + "OK\r\nCRC16 check...OK\r\nRun UF...ERROR\r\n",
                    StringId::FirmwareUpdateFailed, 60 * 1000}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tessik::test
