// The jitter as Set Ir Code applies it: single precision, truncated, kept within 16 bits.

#include <gtest/gtest.h>

#include <limits>

#include "core/device/commands.hpp"

namespace tessik {
namespace {

TEST(Jitter, outOfRangeProductsAreClampedAndNoJitterOverflows) {
    EXPECT_EQ(widenByJitter(60000, 10), 0xFFFF);  // 66000 does not fit: sent as 65535
    EXPECT_EQ(narrowByJitter(1000, 100), 0);
    EXPECT_EQ(narrowByJitter(1000, 150), 0);  // a negative factor gives 0, not a wrapped word
    EXPECT_EQ(widenByJitter(1000, -5), 950);
    EXPECT_EQ(widenByJitter(1000, std::numeric_limits<std::int32_t>::max()), 0xFFFF);
    EXPECT_EQ(narrowByJitter(1000, std::numeric_limits<std::int32_t>::min()), 0xFFFF);
}

TEST(Jitter, setIrCodeTakesTheJitterWithinZeroToAHundredSoNoWindowIsInverted) {
    RemoteHeader h;
    h.leaderHigh = {9000, 8000, 8500};
    for (const std::int32_t j : {-50, 150, std::numeric_limits<std::int32_t>::max()}) {
        const TimingWindows w = timingWindows(h, j);
        EXPECT_GE(w.leaderHigh.max, w.leaderHigh.min) << j;
        EXPECT_EQ(w.leaderHigh.max, timingWindows(h, j < 0 ? 0 : 100).leaderHigh.max) << j;
    }
}

}  // namespace
}  // namespace tessik
