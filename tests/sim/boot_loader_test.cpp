// The simulated boot loader as a device, driven through the updater link: what it accepts and
// refuses, how it moves between its modes on the bus, and its faults by name.

#include <gtest/gtest.h>

#include <algorithm>

#include "core/bytes/byte_io.hpp"
#include "sim/boot_loader_fixture.hpp"

namespace tessik::test {
namespace {

using BootLoaderDevice = WaitingUpdateFixture;
using ApplicationDevice = UpdateFixture;

std::array<std::uint8_t, kFlashBlockSize> blockOf(std::uint8_t value) {
    std::array<std::uint8_t, kFlashBlockSize> b{};
    b.fill(value);
    return b;
}

TEST_F(BootLoaderDevice, writesOnlyWholeBlocksIntoTheUnlockedApplicationFlash) {
    ASSERT_EQ(updater.Connect(kVendorId, kProductIdUpdater), ImageType::Type2);
    const auto data = blockOf(0x3C);
    EXPECT_EQ(updater.WriteBlock(0x08004000, data), TransferStatus::Nak);  // locked
    ASSERT_EQ(updater.FlashUnlock(), TransferStatus::Ack);
    EXPECT_EQ(updater.WriteBlock(0x08003F00, data), TransferStatus::Nak);  // the boot loader's
    EXPECT_EQ(updater.WriteBlock(0x08100000, data), TransferStatus::Nak);  // past the flash
    EXPECT_EQ(updater.WriteBlock(0x080FFF01, data), TransferStatus::Nak);  // runs past it
    ByteWriter half(updater.requestPayload());
    half.u16(0, 128);
    half.u32(2, 0x08004000);
    EXPECT_EQ(updater.Transfer(UpdaterCommand::WriteBlock, 2 + 4 + 128, 1000), TransferStatus::Nak);
    EXPECT_EQ(bootLoader->blocksWritten(), 0u);

    EXPECT_EQ(updater.WriteBlock(0x080FFF00, data), TransferStatus::Ack);  // the last block
    EXPECT_TRUE(std::all_of(bootLoader->flash().begin() + 0xFFF00, bootLoader->flash().end(),
                            [](std::uint8_t b) { return b == 0x3C; }));
    // Like real flash, a block written over unerased cells keeps their cleared bits.
    EXPECT_EQ(updater.WriteBlock(0x080FFF00, blockOf(0xC3)), TransferStatus::Ack);
    EXPECT_EQ(bootLoader->flash()[0xFFF00], 0x00);
}

TEST_F(BootLoaderDevice, eraseNeedsTheKeyAndTheUnlockAndTakesItsTime) {
    bootLoader->flash()[0x100] = 0x12;  // the boot loader itself
    bootLoader->flash()[0x4000] = 0x34;
    ASSERT_EQ(updater.Connect(kVendorId, kProductIdUpdater), ImageType::Type2);
    EXPECT_EQ(updater.FlashErase(), TransferStatus::Nak);
    ByteWriter(updater.requestPayload()).u32(0, 0x12345678);
    EXPECT_EQ(updater.Transfer(UpdaterCommand::FlashUnlock, 4, 100), TransferStatus::Nak);
    ASSERT_EQ(updater.FlashUnlock(), TransferStatus::Ack);

    const std::uint32_t before = clock.now();
    EXPECT_EQ(updater.FlashErase(), TransferStatus::Ack);
    EXPECT_GE(clock.now() - before, bootLoader->options().eraseDurationMs);
    EXPECT_EQ(bootLoader->flash()[0x4000], 0xFF);
    EXPECT_EQ(bootLoader->flash()[0x100], 0x12);

    bootLoader->faults().eraseNaks = 1;
    EXPECT_EQ(updater.FlashErase(), TransferStatus::Nak);
    EXPECT_EQ(updater.FlashErase(), TransferStatus::Ack);
}

TEST_F(BootLoaderDevice, startWithoutACompleteImageComesBackAsTheBootLoader) {
    ASSERT_EQ(updater.Connect(kVendorId, kProductIdUpdater), ImageType::Type2);
    EXPECT_FALSE(updater.Run(&loaded.header));  // nothing written: the image is not there
    EXPECT_FALSE(updater.connected());
    EXPECT_EQ(clock.totalSlept(), 60 * 1000u);
    EXPECT_EQ(receiver.identity(), sim::updateModeIdentity());
}

TEST_F(BootLoaderDevice, doesNotAnswerTheNormalModeCommands) {
    mainLink.productId = kProductIdUpdater;
    VersionArea area{};
    EXPECT_FALSE(commands.GetVersion(area));
    EXPECT_TRUE(notifier.messages.empty());  // a device that stays busy: no message
}

TEST_F(ApplicationDevice, takesTheSecondModeSwitchValueOnlyRightAfterTheFirst) {
    auto device = receiver.transport().open(
        receiver.transport().enumerate(kVendorId, kProductIdNormal).at(0));
    auto modeSwitch = [&](std::uint32_t value) {
        std::vector<std::uint8_t> report(512, 0);
        ByteWriter w(report);
        w.u8(0, 1);
        w.u8(1, 1);
        w.u8(3, 1);
        w.u8(4, 3);
        w.u16(6, 4);
        w.u32(8, value);
        EXPECT_TRUE(device->setFeature(report));
        EXPECT_TRUE(device->getFeature(report));
        EXPECT_EQ(report[1], 1);  // ready
        return report[3];
    };
    EXPECT_EQ(modeSwitch(kModeSwitchEnterSecond), kStatusNak);
    EXPECT_EQ(modeSwitch(kModeSwitchStart), kStatusNak);  // the application is running already
    EXPECT_EQ(modeSwitch(kModeSwitchEnterFirst), kStatusAck);
    EXPECT_EQ(modeSwitch(kModeSwitchEnterSecond), kStatusAck);
    EXPECT_FALSE(receiver.plugged());  // gone, to come back as the boot loader
}

TEST_F(ApplicationDevice, namesItsFaultsForTheCommandLine) {
    std::vector<std::string> names;
    for (const auto& f : receiver.faultCatalogue())
        names.emplace_back(f.name);
    for (const char* name : {"erase-nak", "write-nak", "corrupt-block", "no-return", "identity",
                             "never-ready", "unplug-after"}) {
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
    }
    std::string error;
    EXPECT_TRUE(receiver.applyFault("erase-nak=2", error));
    EXPECT_EQ(bootLoader->faults().eraseNaks, 2u);
    EXPECT_TRUE(receiver.applyFault("corrupt-block=0x10", error));
    EXPECT_EQ(bootLoader->faults().corruptBlock, 16u);
    EXPECT_FALSE(receiver.applyFault("erase-nak", error));
    EXPECT_EQ(error, "fault \"erase-nak\" needs a value");
    EXPECT_FALSE(receiver.applyFault("write-nak=x", error));
    EXPECT_EQ(error, "fault \"write-nak\": bad value \"x\"");
    EXPECT_FALSE(receiver.applyFault("never-ready=1", error));
    EXPECT_EQ(error, "fault \"never-ready\" takes no value");
}

}  // namespace
}  // namespace tessik::test
