// Synthesized signals look like the receiver's recordings and decode to the bits they carry.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "core/ir/decoders.hpp"
#include "sim/ir_signal.hpp"
#include "support/printers.hpp"

namespace tessik::sim {
namespace {

using Periods = std::vector<std::uint16_t>;

// Remotes send each byte least significant bit first; the decoder packs the first bit into the
// most significant position.
std::uint8_t reversed(std::uint8_t b) {
    std::uint8_t r = 0;
    for (int i = 0; i < 8; ++i)
        r = static_cast<std::uint8_t>((r << 1) | ((b >> i) & 1));
    return r;
}

CodeRecord decode(const IrSignal& s) {
    return decodeCapture(s.low, s.high);
}

TEST(NecSignal, hasLeaderThirtyTwoBitsAndAStopBurstBeforeTheEndPause) {
    const IrSignal s = necSignal(0x5E, 0x1C);
    ASSERT_EQ(s.entries(), 34u);
    EXPECT_EQ(s.low[0], 9000);
    EXPECT_EQ(s.high[0], 4500);
    for (std::size_t i = 1; i < 34; ++i)
        EXPECT_EQ(s.low[i], 560) << i;
    EXPECT_EQ(s.high[33], kEndPause);
    // 0x5E least significant bit first: 0 1 1 1 1 0 1 0.
    EXPECT_EQ(Periods(s.high.begin() + 1, s.high.begin() + 9),
              (Periods{560, 1690, 1690, 1690, 1690, 560, 1690, 560}));
}

TEST(NecSignal, decodesToAddressCommandAndTheirComplements) {
    const CodeRecord r = decode(necSignal(0x5E, 0x1C));
    EXPECT_EQ(r.format, 1);
    EXPECT_EQ(r.bitCount, 32);
    EXPECT_EQ(r.pairCount, 33);
    EXPECT_EQ(r.leaderLow, 9000);
    EXPECT_EQ(r.leaderHigh, 4500);
    EXPECT_EQ(r.codeBytes[0], reversed(0x5E));
    EXPECT_EQ(r.codeBytes[1], reversed(0xA1));
    EXPECT_EQ(r.codeBytes[2], reversed(0x1C));
    EXPECT_EQ(r.codeBytes[3], reversed(0xE3));
    EXPECT_EQ(r.codeValue, 0x7A7A85853838C7C7ull);

    const CodeRecord ext = decode(necExtendedSignal(0x1234, 0x01));
    EXPECT_EQ(ext.codeBytes[0], reversed(0x34));
    EXPECT_EQ(ext.codeBytes[1], reversed(0x12));
    EXPECT_EQ(ext.codeBytes[3], reversed(0xFE));
}

TEST(NecSignal, repeatFrameIsAnIncompleteReading) {
    const IrSignal s = necRepeatSignal();
    EXPECT_EQ(s.low, (Periods{9000, 560}));
    EXPECT_EQ(s.high, (Periods{2250, kEndPause}));
    EXPECT_EQ(decode(s).codeValue, 0u);
}

TEST(SircSignal, everyLengthDecodesAsPulseWidthWithoutItsLastBit) {
    // Command 0x15 (1010100 least significant first); address 1 (10000), 0x1A (01011000), and
    // device 1 with extension 0x1A (1 | 0x1A << 5).
    struct Case {
        SircBits bits;
        std::uint16_t address;
        std::size_t entries;
        std::uint64_t value;  // the first bits - 1 bits, left-aligned
    };
    const Case cases[] = {
        {SircBits::Twelve, 0x01, 13, 0xA900},     // 1010100 1000
        {SircBits::Fifteen, 0x1A, 16, 0xA8B0},    // 1010100 0101100
        {SircBits::Twenty, 0x341, 21, 0xA90580},  // 1010100 10000 0101100
    };
    for (const Case& c : cases) {
        const IrSignal s = sircSignal(c.bits, 0x15, c.address);
        ASSERT_EQ(s.entries(), c.entries);
        EXPECT_EQ(s.low[0], 2400);
        EXPECT_EQ(s.high[0], 600);
        EXPECT_EQ(s.high.back(), kEndPause);
        const CodeRecord r = decode(s);
        EXPECT_EQ(r.format, 2);
        EXPECT_EQ(r.bitCount, c.entries - 2);
        EXPECT_EQ(r.oneMin, 1200);
        EXPECT_EQ(r.lowMax, 600);
        EXPECT_EQ(r.codeValue, c.value) << static_cast<int>(c.bits);
    }
}

TEST(AehaSignal, fortyEightBitsDecodeAsPulseDistance) {
    const std::array<std::uint8_t, 6> bytes{0x02, 0x20, 0xB0, 0x00, 0x91, 0x21};
    const IrSignal s = aehaSignal(bytes);
    ASSERT_EQ(s.entries(), 50u);
    EXPECT_EQ(s.low[0], 3400);
    EXPECT_EQ(s.high[0], 1700);
    EXPECT_EQ(s.high.back(), kEndPause);
    const CodeRecord r = decode(s);
    EXPECT_EQ(r.format, 1);
    EXPECT_EQ(r.bitCount, 48);
    EXPECT_EQ(r.oneMin, 1275);
    EXPECT_EQ(r.lowMin, 425);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        EXPECT_EQ(r.codeBytes[i], reversed(bytes[i])) << i;
    EXPECT_EQ(r.codeValue, 0x0D0D000089898484ull);
}

TEST(TimingNoise, isRepeatableBoundedAndLeavesTheDecodeUnchanged) {
    const IrSignal clean = necSignal(0x5E, 0x45);
    const IrSignal a = withTimingNoise(clean, 5.0, 7);
    EXPECT_EQ(a, withTimingNoise(clean, 5.0, 7));
    EXPECT_NE(a, withTimingNoise(clean, 5.0, 8));
    ASSERT_EQ(a.entries(), clean.entries());
    bool anyChanged = false;
    for (std::size_t i = 0; i < a.entries(); ++i) {
        for (auto [noisy, exact] :
             {std::pair{a.low[i], clean.low[i]}, std::pair{a.high[i], clean.high[i]}}) {
            if (exact == kEndPause) {
                EXPECT_EQ(noisy, kEndPause);
                continue;
            }
            EXPECT_LE(std::abs(noisy - exact), exact * 0.05 + 0.5) << i;
            anyChanged = anyChanged || noisy != exact;
        }
    }
    EXPECT_TRUE(anyChanged);

    const std::uint64_t expected = decode(clean).codeValue;
    for (std::uint32_t seed = 0; seed < 50; ++seed) {
        EXPECT_EQ(decode(withTimingNoise(clean, 5.0, seed)).codeValue, expected) << seed;
    }
    EXPECT_EQ(withTimingNoise(clean, 0.0, 3), clean);
}

}  // namespace
}  // namespace tessik::sim
