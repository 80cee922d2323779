// Signals recorded from real remote controls (tests/data/ir/real-captures.ir) decode as the
// receiver's own captures of them would.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "core/ir/decoders.hpp"
#include "core/ir/raw_signals.hpp"
#include "core/text/format.hpp"
#include "support/printers.hpp"

namespace tessik {
namespace {

std::uint8_t reversed(std::uint8_t b) {
    std::uint8_t r = 0;
    for (int i = 0; i < 8; ++i)
        r = static_cast<std::uint8_t>((r << 1) | ((b >> i) & 1));
    return r;
}

std::string hexBytes(const CodeRecord& r, std::size_t count) {
    std::string s;
    for (std::size_t i = 0; i < count; ++i)
        s += formatText("%02X", {r.codeBytes[i]});
    return s;
}

class RealCaptures : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::ifstream in(std::string(TESSIK_TEST_DATA_DIR) + "/ir/real-captures.ir");
        std::stringstream text;
        text << in.rdbuf();
        parsed_ = parseRawSignals(text.str());
    }

    static CodeRecord decode(const std::string& name) {
        for (const RawSignal& s : parsed_.signals) {
            if (s.name == name) {
                const CaptureEntries e = entriesFromDurations(s.durations);
                return decodeCapture(e.low, e.high);
            }
        }
        ADD_FAILURE() << "no signal named " << name;
        return {};
    }

    static inline RawSignalsParse parsed_;
};

TEST_F(RealCaptures, allTenSignalsAreRead) {
    ASSERT_TRUE(parsed_.ok) << parsed_.error;
    EXPECT_EQ(parsed_.signals.size(), 10u);
}

TEST_F(RealCaptures, necFramesDecodeAsThirtyTwoBitPulseDistance) {
    const CodeRecord plain = decode("_Converted_/Pronto/H/Harman_Kardon/HD-720.ir / 6");
    EXPECT_EQ(plain.format, 1);
    EXPECT_EQ(plain.bitCount, 32);
    EXPECT_EQ(plain.leaderLow, 8885);
    EXPECT_EQ(plain.leaderHigh, 4586);
    EXPECT_EQ(plain.codeValue, 0x01010E0E68689797ull);
    // The command travels with its complement.
    EXPECT_EQ(plain.codeBytes[2] ^ plain.codeBytes[3], 0xFF);

    // A recording that runs on into a repeat frame: the 39 ms gap ends the data.
    const CodeRecord withRepeat = decode("_Converted_/IR_Plus/H/HITACHI/Projector.ir / COMPOSITE");
    EXPECT_EQ(withRepeat.pairCount, 35);
    EXPECT_EQ(withRepeat.bitCount, 32);
    EXPECT_EQ(withRepeat.codeValue, 0xE1E1A2A2C8C83737ull);
    EXPECT_EQ(withRepeat.codeBytes[2] ^ withRepeat.codeBytes[3], 0xFF);
    EXPECT_EQ(withRepeat.oneMin, 1664);
    EXPECT_EQ(withRepeat.lowMax, 546);
}

TEST_F(RealCaptures, householdFormatDecodesFortyEightBitsWithItsParityAndCheckByte) {
    const CodeRecord r = decode("_Converted_/Pronto/P/Panasonic/DVD-K510.ir / Subtitle");
    EXPECT_EQ(r.format, 1);
    EXPECT_EQ(r.bitCount, 48);
    EXPECT_EQ(hexBytes(r, 6), "40040D008984");
    EXPECT_EQ(r.codeValue, 0x0D0D000089898484ull);
    // Sent least significant bit first: the customer code's nibbles XOR to the parity nibble,
    // and the last byte is the XOR of the three before it.
    std::uint8_t b[6];
    for (int i = 0; i < 6; ++i)
        b[i] = reversed(r.codeBytes[i]);
    EXPECT_EQ((b[0] ^ (b[0] >> 4) ^ b[1] ^ (b[1] >> 4)) & 0xF, b[2] & 0xF);
    EXPECT_EQ(b[5], b[2] ^ b[3] ^ b[4]);
}

TEST_F(RealCaptures, sircFramesLoseTheirLastBitToTheFinalEntry) {
    // The "0" button of a television: command 9, device 1, least significant bit first.
    const CodeRecord twelve = decode("_Converted_/Pronto/S/Sony/KW-34HD1(NTSC_TUNER).ir / 0");
    EXPECT_EQ(twelve.format, 2);
    EXPECT_EQ(twelve.bitCount, 11);
    EXPECT_EQ(twelve.leaderLow, 2385);
    EXPECT_EQ(twelve.codeValue, 0x9100u);  // 1001000 1000
    EXPECT_EQ(twelve.oneMin, 1193);
    EXPECT_EQ(twelve.highMin, 596);

    const CodeRecord fifteen = decode("_Converted_/IR_Plus/S/SONY/DAV-Series.ir / MODE STEREO");
    EXPECT_EQ(fifteen.format, 2);
    EXPECT_EQ(fifteen.bitCount, 14);
    EXPECT_EQ(fifteen.codeValue, 0x8218u);

    // The "3" button of a disc player: command 2.
    const CodeRecord twenty = decode("_Converted_/Pronto/S/Sony/SonyDVD_3.ir / 3");
    EXPECT_EQ(twenty.format, 2);
    EXPECT_EQ(twenty.bitCount, 19);
    EXPECT_EQ(twenty.codeValue, 0x40B520u);
}

TEST_F(RealCaptures, signalsNeitherCodingDescribes) {
    // Bi-phase coded, no leader: the first longest burst (entry 1) is taken as one.
    const CodeRecord biphase = decode("_Converted_/Pronto/C/Carver/C20V.ir / TTONE");
    EXPECT_EQ(biphase.format, 2);
    EXPECT_EQ(biphase.leaderLow, 1788);
    EXPECT_EQ(biphase.bitCount, 4);
    EXPECT_EQ(biphase.codeValue, 0x80u);

    // Short bursts of equal length: the data ends right after the longest one (entry 23),
    // nothing is decoded, and type 2 leaves the leader's index as its bit count.
    const CodeRecord flat = decode("Cable_Boxes/DSTV/DSTV_EXPLORER.ir / Left");
    EXPECT_EQ(flat.codeValue, 0u);
    EXPECT_EQ(flat.format, 2);
    EXPECT_EQ(flat.bitCount, 23);
    EXPECT_EQ(flat.leaderLow, 327);
}

TEST_F(RealCaptures, airConditionerFrameIsTooLong) {
    const CodeRecord r = decode("ACs/Hisense/Hisense_DG11J1-99_fahrenheit.ir / 76f");
    EXPECT_EQ(r.codeValue, kCodeTooLong);
    EXPECT_EQ(r.format, 0);
    EXPECT_EQ(r.bitCount, 0);
    EXPECT_EQ(r.pairCount, 171);
    EXPECT_EQ(hexBytes(r, 4), "C1600041");
}

TEST_F(RealCaptures, aFrameOfAllOneBitsDecodesToTheSameValueAsAnOverflow) {
    // Every pause of this frame is long enough to count as a one, so the decoded value is all
    // ones: a real decode (format 1, 48 bits) that reads like "too long".
    const CodeRecord r = decode("_Converted_/IR_Plus/W/WEILI/Air Conditioner.ir / 27C");
    EXPECT_EQ(r.format, 1);
    EXPECT_EQ(r.bitCount, 48);
    EXPECT_EQ(r.codeValue, kCodeTooLong);
    EXPECT_EQ(r.highMax, 0);
    EXPECT_EQ(r.highMin, 0xFFFF);
}

}  // namespace
}  // namespace tessik
