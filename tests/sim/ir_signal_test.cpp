// Synthesized signals as the receiver records them. (Each format's leader, bits and noise are
// read back by the capture's analysis and protocol naming, whose tests decode them; that every
// button of a remote is told apart is the reception test's.)

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "sim/remotes.hpp"

namespace tessik::sim {
namespace {

using Periods = std::vector<std::uint16_t>;

TEST(IrSignal, theNecRepeatIsALeaderWithAShortPauseAndOneBurst) {
    EXPECT_EQ(necRepeatSignal().low, (Periods{9000, 560}));
    EXPECT_EQ(necRepeatSignal().high, (Periods{2250, kEndPause}));
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
