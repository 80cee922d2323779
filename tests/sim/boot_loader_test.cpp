// The simulated boot loader as a device, driven through the updater link: the reports the link
// sends, how it polls and judges the answers and identifies the boot loader, which devices it
// refuses to drive; what the boot loader accepts and refuses. (The mode switches and whole
// updates are the update procedure's tests.)

#include <gtest/gtest.h>

#include <algorithm>

#include "core/bytes/byte_io.hpp"
#include "support/boot_loader_fixture.hpp"

namespace tessik::test {
namespace {

using BootLoaderDevice = WaitingUpdateFixture;

std::array<std::uint8_t, kFlashBlockSize> blockOf(std::uint8_t value) {
    std::array<std::uint8_t, kFlashBlockSize> b{};
    b.fill(value);
    return b;
}

// Answers every updater frame, ready, with a status that is neither ACK nor NAK.
struct OddStatus : sim::Firmware {
    sim::Handling onRequest(std::span<const std::uint8_t>, sim::Reply& reply) override {
        reply.frame[1] = 1;
        reply.frame[3] = 0x33;
        return sim::Handling::Answered;
    }
};

TEST_F(BootLoaderDevice, theLinkSendsHeadAndPayloadAsOneReportOfTheDevicesLength) {
    receiver.recordTraffic(true);
    ASSERT_EQ(updater.Connect(kVendorId, kProductIdUpdater), ImageType::Type2);
    ASSERT_EQ(updater.FlashUnlock(), TransferStatus::Ack);
    receiver.clearTraffic();
    ASSERT_EQ(updater.WriteBlock(0x08004100, blockOf(0xA5)), TransferStatus::Ack);
    ASSERT_TRUE(updater.Probe());

    const auto reports = setReports(receiver);
    ASSERT_EQ(reports.size(), 2u);
    const ByteReader w(reports[0]);
    ASSERT_EQ(w.size(), 273u);
    EXPECT_EQ(w.u32(0), 0x01000101u);  // report ID, 1, 0, the updater's mark 1
    EXPECT_EQ(w.u16(4), 8);
    EXPECT_EQ(w.u16(6), 262);
    EXPECT_EQ(w.u16(8), 256);
    EXPECT_EQ(w.u32(10), 0x08004100u);
    EXPECT_EQ(w.u8(14), 0xA5);
    EXPECT_EQ(w.u8(269), 0xA5);
    // The shorter command that follows leaves nothing of the block behind its payload.
    EXPECT_EQ(ByteReader(reports[1]).u16(6), 6);
    EXPECT_TRUE(std::all_of(reports[1].begin() + 14, reports[1].end(),
                            [](std::uint8_t b) { return b == 0; }));
}

TEST_F(BootLoaderDevice, theLinkPollsWithPausesUntilTheDeadlineAndJudgesTheStatus) {
    ASSERT_EQ(updater.Connect(kVendorId, kProductIdUpdater), ImageType::Type2);
    receiver.recordTraffic(true);
    bootLoader->faults().neverReady = true;
    clock.setTickStep(0);  // time moves only by sleeping: a spinning wait would never end
    clock.advance(0xFFFFFF00u - clock.now());  // the deadline lies past 2^32
    const std::uint64_t sleptBefore = clock.totalSlept();
    EXPECT_EQ(updater.FlashErase(), TransferStatus::None);
    // The send, then a read at the start and after every pause of the 5000 ms.
    EXPECT_EQ(receiver.traffic().size(), 1u + 5000u / kReplyPollStepMs + 1u);
    EXPECT_EQ(clock.totalSlept() - sleptBefore, 5000u);
    clock.setTickStep(1);

    receiver.addFirmware(std::make_shared<OddStatus>());  // a NAK is the update's tests'
    EXPECT_EQ(updater.FlashUnlock(), TransferStatus::None);
}

// Refused devices first, while nothing has moved; then the identities as prefixes.
TEST_F(BootLoaderDevice, refusesDevicesWhoseReportsDoNotFitAndIdentifiesLongerIdentitiesFirst) {
    receiver.recordTraffic(true);
    receiver.setIdentity(sim::Identity{kVendorId, kProductIdUpdater, 512});
    EXPECT_EQ(updater.Connect(kVendorId, kProductIdUpdater), ImageType::None);
    // Longer than the report areas: not a byte is moved, so none can be overrun.
    receiver.setIdentity(sim::Identity{kVendorId, kProductIdNormal, kUpdaterReportAreaSize + 1});
    EXPECT_EQ(updater.Connect(kVendorId, kProductIdNormal), ImageType::None);
    EXPECT_TRUE(receiver.traffic().empty());
    EXPECT_EQ(clock.totalSlept(), 0u);  // nothing was switched, so nothing is waited for
    EXPECT_FALSE(updater.connected());

    receiver.setIdentity(sim::updateModeIdentity());
    const std::pair<std::string, ImageType> cases[] = {
        {"DER32UVE2", ImageType::Type2}, {"DER32UVE2 rev.B", ImageType::Type2},
        {"DER32UVE", ImageType::Type1},  {"DER32UVE3", ImageType::Type1},
        {"DER32UV", ImageType::None},    {"STM32FC", ImageType::None},
    };
    for (const auto& [identity, type] : cases) {
        std::string error;
        ASSERT_TRUE(receiver.applyFault("identity=" + identity, error)) << error;
        EXPECT_EQ(updater.Connect(kVendorId, kProductIdUpdater), type) << identity;
        EXPECT_EQ(updater.connected(), type != ImageType::None);
    }
}

TEST_F(BootLoaderDevice, erasesAndWritesOnlyOnceUnlockedAndSparesItsOwnArea) {
    bootLoader->flash()[0x100] = 0x12;  // the boot loader itself
    bootLoader->flash()[0x4000] = 0x34;
    ASSERT_EQ(updater.Connect(kVendorId, kProductIdUpdater), ImageType::Type2);
    const auto data = blockOf(0x3C);
    EXPECT_EQ(updater.WriteBlock(0x08004000, data), TransferStatus::Nak);  // locked
    EXPECT_EQ(updater.FlashErase(), TransferStatus::Nak);
    ASSERT_EQ(updater.FlashUnlock(), TransferStatus::Ack);

    EXPECT_EQ(updater.FlashErase(), TransferStatus::Ack);
    EXPECT_EQ(bootLoader->flash()[0x4000], 0xFF);
    EXPECT_EQ(bootLoader->flash()[0x100], 0x12);
    EXPECT_EQ(updater.WriteBlock(0x080FFF00, data), TransferStatus::Ack);  // the last block
    EXPECT_EQ(bootLoader->flash().back(), 0x3C);
}

TEST_F(BootLoaderDevice, startsNoMissingOrCorruptImageAndIgnoresNormalModeCommands) {
    mainLink.productId = kProductIdUpdater;
    VersionArea area{};
    EXPECT_FALSE(commands.GetVersion(area));
    EXPECT_TRUE(notifier.messages.empty());  // a device that stays busy: no message

    ASSERT_EQ(updater.Connect(kVendorId, kProductIdUpdater), ImageType::Type2);
    const std::uint64_t sleptBefore = clock.totalSlept();
    EXPECT_FALSE(updater.Run(&loaded.header));  // nothing written: the image is not there
    EXPECT_FALSE(updater.connected());
    EXPECT_EQ(clock.totalSlept() - sleptBefore, 60 * 1000u);
    EXPECT_EQ(receiver.identity(), sim::updateModeIdentity());

    // Nor an image whose blocks do not give the CRC of its header.
    std::string error;
    ASSERT_TRUE(receiver.applyFault("corrupt-block=2", error)) << error;
    ASSERT_EQ(runUpdate(), UpdateOutcome::CrcMismatch);
    ASSERT_EQ(updater.Connect(kVendorId, kProductIdUpdater), ImageType::Type2);
    EXPECT_FALSE(updater.Run(&loaded.header));
    EXPECT_EQ(receiver.identity(), sim::updateModeIdentity());
}

}  // namespace
}  // namespace tessik::test
