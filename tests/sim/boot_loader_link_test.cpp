// The updater link's transfers against the simulated boot loader: the report it sends, how it
// polls for the answer and judges it, how it identifies the boot loader, and which devices it
// refuses to drive.

#include <gtest/gtest.h>

#include "core/bytes/byte_io.hpp"
#include "sim/boot_loader_fixture.hpp"

namespace tessik::test {
namespace {

struct UpdaterLink : WaitingUpdateFixture {
    UpdaterLink() { receiver.recordTraffic(true); }
    std::vector<std::vector<std::uint8_t>> sent() const {
        std::vector<std::vector<std::uint8_t>> out;
        for (const auto& t : receiver.traffic()) {
            if (t.direction == sim::Direction::Set) out.push_back(t.report);
        }
        return out;
    }
    std::size_t reads() const { return receiver.traffic().size() - sent().size(); }
};

// Answers every updater frame, ready, with one status.
class FixedStatus : public sim::Firmware {
  public:
    explicit FixedStatus(std::uint8_t status) : status_(status) {}
    sim::Handling onRequest(std::span<const std::uint8_t>, sim::Reply& reply) override {
        reply.frame[1] = 1;
        reply.frame[3] = status_;
        return sim::Handling::Answered;
    }

  private:
    std::uint8_t status_;
};

TEST_F(UpdaterLink, sendsTheFrameHeadAndPayloadAsOneReportOfTheDevicesLength) {
    ASSERT_EQ(updater.Connect(kVendorId, kProductIdUpdater), ImageType::Type2);
    ASSERT_EQ(updater.FlashUnlock(), TransferStatus::Ack);
    receiver.clearTraffic();
    std::array<std::uint8_t, kFlashBlockSize> block{};
    block.fill(0xA5);
    ASSERT_EQ(updater.WriteBlock(0x08004100, block), TransferStatus::Ack);
    ASSERT_TRUE(updater.Probe());

    const auto reports = sent();
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
    const std::vector<std::uint8_t>& probe = reports[1];
    EXPECT_EQ(ByteReader(probe).u16(6), 6);
    EXPECT_EQ(ByteReader(probe).u16(8), 1);
    EXPECT_EQ(ByteReader(probe).u32(10), 0x20000000u);
    EXPECT_TRUE(
        std::all_of(probe.begin() + 14, probe.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST_F(UpdaterLink, pollsBackToBackUntilTheDeadlineAlsoAcrossTheTickWrap) {
    ASSERT_EQ(updater.Connect(kVendorId, kProductIdUpdater), ImageType::Type2);
    bootLoader->faults().neverReady = true;
    clock.advance(0xFFFFFF00u - clock.now());  // the deadline lies past 2^32
    receiver.clearTraffic();
    EXPECT_EQ(updater.FlashErase(), TransferStatus::None);
    EXPECT_EQ(reads(), 5000u);  // one tick per poll: every poll that fits into 5000 ms
    EXPECT_EQ(clock.totalSlept(), 0u);
}

TEST_F(UpdaterLink, aReadyReplyIsJudgedByItsStatusAndARefusedSendIsNotPolled) {
    ASSERT_EQ(updater.Connect(kVendorId, kProductIdUpdater), ImageType::Type2);
    auto nak = std::make_shared<FixedStatus>(21);
    receiver.addFirmware(nak);
    EXPECT_EQ(updater.FlashUnlock(), TransferStatus::Nak);
    receiver.removeFirmware(nak.get());
    receiver.addFirmware(std::make_shared<FixedStatus>(0x33));
    EXPECT_EQ(updater.FlashUnlock(), TransferStatus::None);

    receiver.clearTraffic();
    receiver.faults().setFailures = 1;
    EXPECT_EQ(updater.FlashErase(), TransferStatus::None);
    EXPECT_EQ(receiver.traffic().size(), 1u);  // the failed send, no read
}

TEST_F(UpdaterLink, identifiesTheBootLoaderByTheLongerIdentityFirstAsAPrefix) {
    const std::vector<std::pair<std::string, ImageType>> cases = {
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

TEST_F(UpdaterLink, refusesDevicesWhoseReportsDoNotFitWithoutATransfer) {
    receiver.setIdentity(sim::Identity{kVendorId, kProductIdUpdater, 512});
    EXPECT_EQ(updater.Connect(kVendorId, kProductIdUpdater), ImageType::None);
    // Longer than the report areas: not a byte is moved, so none can be overrun.
    receiver.setIdentity(sim::Identity{kVendorId, kProductIdNormal, kUpdaterReportAreaSize + 1});
    EXPECT_EQ(updater.Connect(kVendorId, kProductIdNormal), ImageType::None);
    EXPECT_TRUE(receiver.traffic().empty());
    EXPECT_EQ(clock.totalSlept(), 0u);  // nothing was switched, so nothing is waited for
    EXPECT_FALSE(updater.connected());
}

}  // namespace
}  // namespace tessik::test
