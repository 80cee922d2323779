// Synthesized signals look like the receiver's recordings; the virtual remotes speak their
// formats to their addresses. (That the decoders read each format's address and command out of
// them is the protocol naming's test; that every button of a remote is told apart, the
// reception test's.)

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "sim/remotes.hpp"
#include "support/printers.hpp"

namespace tessik::sim {
namespace {

using Periods = std::vector<std::uint16_t>;

TEST(IrSignal, eachFormatHasItsLeaderItsBitsAndAnEndPause) {
    const struct {
        const char* name;
        IrSignal signal;
        std::uint16_t leaderLow, leaderHigh;
        std::size_t bits;
    } cases[] = {
        {"NEC", necSignal(0x5E, 0x1C), 9000, 4500, 32},
        {"NEC extended", necExtendedSignal(0x1234, 0x01), 9000, 4500, 32},
        {"SIRC 12", sircSignal(SircBits::Twelve, 0x15, 0x01), 2400, 600, 12},
        {"SIRC 15", sircSignal(SircBits::Fifteen, 0x15, 0x1A), 2400, 600, 15},
        {"SIRC 20", sircSignal(SircBits::Twenty, 0x15, 0x341), 2400, 600, 20},
        {"AEHA", aehaSignal(std::array<std::uint8_t, 6>{}), 3400, 1700, 48},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Leader and bits, then a stop burst; a SIRC frame's last bit ends in the pause.
        const bool sirc = c.leaderLow == 2400;
        ASSERT_EQ(c.signal.entries(), c.bits + (sirc ? 1u : 2u));
        EXPECT_EQ(c.signal.low[0], c.leaderLow);
        EXPECT_EQ(c.signal.high[0], c.leaderHigh);
        EXPECT_EQ(c.signal.high.back(), kEndPause);
    }
    // NEC bits are 560 bursts with 560 (0) or 1690 (1) pauses, least significant bit first:
    // 0x5E is 0 1 1 1 1 0 1 0.
    const IrSignal& nec = cases[0].signal;
    EXPECT_EQ(Periods(nec.low.begin() + 1, nec.low.end()), Periods(33, 560));
    EXPECT_EQ(Periods(nec.high.begin() + 1, nec.high.begin() + 9),
              (Periods{560, 1690, 1690, 1690, 1690, 560, 1690, 560}));
    EXPECT_EQ(necRepeatSignal().low, (Periods{9000, 560}));
    EXPECT_EQ(necRepeatSignal().high, (Periods{2250, kEndPause}));
}

TEST(IrSignal, timingNoiseIsRepeatableAndBounded) {
    const IrSignal clean = necSignal(0x5E, 0x45);
    const IrSignal a = withTimingNoise(clean, 5.0, 7);
    EXPECT_EQ(a, withTimingNoise(clean, 5.0, 7));
    EXPECT_NE(a, withTimingNoise(clean, 5.0, 8));
    EXPECT_EQ(withTimingNoise(clean, 0.0, 3), clean);
    ASSERT_EQ(a.entries(), clean.entries());
    for (std::size_t i = 0; i < a.entries(); ++i) {
        for (auto [noisy, exact] :
             {std::pair{a.low[i], clean.low[i]}, std::pair{a.high[i], clean.high[i]}}) {
            if (exact == kEndPause) {
                EXPECT_EQ(noisy, kEndPause);
            }
            EXPECT_LE(std::abs(noisy - exact), exact * 0.05 + 0.5) << i;
        }
    }
}

TEST(VirtualRemotes, anAehaButtonCarriesItsParityAndCheckBytes) {
    const auto bytes = aehaBytes(0x1A5C, 0x3, 0x48, 0x0A);
    // Parity nibble 1^A^5^C = 2 under system 3; check byte 32^48^0A = 70.
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 6>{0x5C, 0x1A, 0x32, 0x48, 0x0A, 0x70}));
    EXPECT_EQ(aehaAudioRemote().signal("Play"), aehaSignal(bytes));
    EXPECT_FALSE(necTvRemote().signal("Eject").has_value());
}

}  // namespace
}  // namespace tessik::sim
