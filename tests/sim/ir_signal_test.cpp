// Synthesized signals look like the receiver's recordings and decode to the bits they carry;
// the virtual remotes speak their formats to their addresses. (That every button of a remote
// is told apart is the reception test's.)

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "core/ir/decoders.hpp"
#include "sim/remotes.hpp"
#include "support/printers.hpp"

namespace tessik::sim {
namespace {

using Periods = std::vector<std::uint16_t>;
using Bytes = std::vector<std::uint8_t>;

CodeRecord decode(const IrSignal& s) {
    return decodeCapture(s.low, s.high);
}

TEST(IrSignal, eachFormatHasItsLeaderAndEndPauseAndDecodesToTheBitsItCarries) {
    // Remotes send each byte least significant bit first; the decoder packs the first bit into
    // the most significant position, so 0x5E arrives as 0x7A. SIRC command 0x15 is 1010100;
    // address 1 is 10000, 0x1A is 01011000, and 0x341 is device 1 with extension 0x1A. A SIRC
    // frame decodes without its last bit (its pause is the end of the frame); the code bytes
    // keep a partial last byte's bits at the low end.
    const std::array<std::uint8_t, 6> aeha{0x02, 0x20, 0xB0, 0x00, 0x91, 0x21};
    const struct {
        const char* name;
        IrSignal signal;
        std::uint16_t leaderLow, leaderHigh;
        std::uint8_t format;
        std::uint16_t bitCount;
        std::uint64_t value;
        Bytes codeBytes;
    } cases[] = {
        // clang-format off
        {"NEC", necSignal(0x5E, 0x1C),  // 5E A1 1C E3
         9000, 4500, 1, 32, 0x7A7A85853838C7C7, {0x7A, 0x85, 0x38, 0xC7}},
        {"NEC extended", necExtendedSignal(0x1234, 0x01),  // 34 12 01 FE
         9000, 4500, 1, 32, 0x2C2C48488080'7F7F, {0x2C, 0x48, 0x80, 0x7F}},
        {"SIRC 12", sircSignal(SircBits::Twelve, 0x15, 0x01),  // 1010100 1000
         2400, 600, 2, 11, 0xA900, {0xA9, 0x00}},
        {"SIRC 15", sircSignal(SircBits::Fifteen, 0x15, 0x1A),  // 1010100 0101100
         2400, 600, 2, 14, 0xA8B0, {0xA8, 0x2C}},
        {"SIRC 20", sircSignal(SircBits::Twenty, 0x15, 0x341),  // 1010100 10000 0101100
         2400, 600, 2, 19, 0xA90580, {0xA9, 0x05, 0x04}},
        {"AEHA", aehaSignal(aeha),  // 02 20 B0 00 91 21
         3400, 1700, 1, 48, 0x0D0D000089898484, {0x40, 0x04, 0x0D, 0x00, 0x89, 0x84}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Leader, the bits, and a stop burst or (SIRC) a last bit that is not analysed.
        ASSERT_EQ(c.signal.entries(), c.bitCount + 2u);
        EXPECT_EQ(c.signal.low[0], c.leaderLow);
        EXPECT_EQ(c.signal.high[0], c.leaderHigh);
        EXPECT_EQ(c.signal.high.back(), kEndPause);
        const CodeRecord r = decode(c.signal);
        EXPECT_EQ(r.format, c.format);
        EXPECT_EQ(r.pairCount, c.bitCount + 1);
        EXPECT_EQ(r.bitCount, c.bitCount);
        EXPECT_EQ(r.codeValue, c.value);
        EXPECT_EQ(Bytes(r.codeBytes.begin(), r.codeBytes.begin() + c.codeBytes.size()),
                  c.codeBytes);
    }
    // NEC bits are 560 bursts with 560 (0) or 1690 (1) pauses; 0x5E is 0 1 1 1 1 0 1 0.
    const IrSignal& nec = cases[0].signal;
    EXPECT_EQ(Periods(nec.low.begin() + 1, nec.low.end()), Periods(33, 560));
    EXPECT_EQ(Periods(nec.high.begin() + 1, nec.high.begin() + 9),
              (Periods{560, 1690, 1690, 1690, 1690, 560, 1690, 560}));
    // The repeat frame is an incomplete reading.
    EXPECT_EQ(necRepeatSignal().low, (Periods{9000, 560}));
    EXPECT_EQ(necRepeatSignal().high, (Periods{2250, kEndPause}));
    EXPECT_EQ(decode(necRepeatSignal()).codeValue, 0u);
}

TEST(IrSignal, timingNoiseIsRepeatableAndBounded) {
    const IrSignal clean = necSignal(0x5E, 0x45);
    const IrSignal a = withTimingNoise(clean, 5.0, 7);
    EXPECT_EQ(a, withTimingNoise(clean, 5.0, 7));
    EXPECT_NE(a, withTimingNoise(clean, 5.0, 8));
    EXPECT_EQ(withTimingNoise(clean, 0.0, 3), clean);
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
}

TEST(VirtualRemotes, eachSpeaksItsFormatToItsAddress) {
    const VirtualRemote& tv = necTvRemote();
    ASSERT_NE(tv.find("Vol+"), nullptr);
    EXPECT_EQ(tv.signal("Vol+"), necSignal(0x5E, tv.find("Vol+")->command));
    EXPECT_FALSE(tv.signal("Eject").has_value());
    EXPECT_EQ(sircTvRemote().signal("Power"), sircSignal(SircBits::Twelve, 21, 1));

    const auto bytes = aehaBytes(0x1A5C, 0x3, 0x48, 0x0A);
    // Parity nibble 1^A^5^C = 2 under system 3; check byte 32^48^0A = 70.
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 6>{0x5C, 0x1A, 0x32, 0x48, 0x0A, 0x70}));
    EXPECT_EQ(aehaAudioRemote().signal("Play"), aehaSignal(bytes));
}

}  // namespace
}  // namespace tessik::sim
