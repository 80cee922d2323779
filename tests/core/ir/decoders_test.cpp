#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/ir/decoders.hpp"
#include "support/printers.hpp"

namespace tessik {
namespace {

// A capture as the receiver hands it over: entry i is (low[i], high[i]).
struct Capture {
    std::vector<std::uint16_t> low;
    std::vector<std::uint16_t> high;

    Capture& add(std::uint16_t l, std::uint16_t h) {
        low.push_back(l);
        high.push_back(h);
        return *this;
    }
    // The final entry of every capture: the recording stopped in the silence after it.
    Capture& end(std::uint16_t l = 560) { return add(l, 40000); }
};

std::vector<int> bitsOf(const std::string& s) {
    std::vector<int> bits;
    for (char c : s) {
        if (c == '0' || c == '1') bits.push_back(c - '0');
    }
    return bits;
}

std::vector<int> bitsOfBytes(std::initializer_list<std::uint8_t> bytes) {
    std::vector<int> bits;
    for (std::uint8_t b : bytes) {
        for (int i = 7; i >= 0; --i)
            bits.push_back((b >> i) & 1);
    }
    return bits;
}

// Pulse distance: equal 560 bursts, 560 or 1690 pauses, after a 9000/4500 leader.
Capture pulseDistance(const std::vector<int>& bits) {
    Capture c;
    c.add(9000, 4500);
    for (int b : bits)
        c.add(560, b != 0 ? 1690 : 560);
    return c.end();
}

// Pulse width: 1200 or 600 bursts, equal 600 pauses, after a 2400/600 leader.
Capture pulseWidth(const std::vector<int>& bits) {
    Capture c;
    c.add(2400, 600);
    for (int b : bits)
        c.add(b != 0 ? 1200 : 600, 600);
    return c.end(600);
}

CodeRecord decodeType1(const Capture& c) {
    CodeRecord r;
    r.pairCount = static_cast<std::uint16_t>(c.low.size() - 1);
    DecodePulseDistance(c.low, c.high, r);
    return r;
}

CodeRecord decodeType2(const Capture& c) {
    CodeRecord r;
    r.pairCount = static_cast<std::uint16_t>(c.low.size() - 1);
    DecodePulseWidth(c.low, c.high, r);
    return r;
}

std::array<std::uint8_t, kCodeBytesCount> codeBytes(std::initializer_list<std::uint8_t> first) {
    std::array<std::uint8_t, kCodeBytesCount> out{};
    std::size_t i = 0;
    for (std::uint8_t b : first)
        out[i++] = b;
    return out;
}

// The timing groups in one line: one min/max, low min/max, high min/max.
using Groups = std::array<std::uint16_t, 6>;
Groups groupsOf(const CodeRecord& r) {
    return {r.oneMin, r.oneMax, r.lowMin, r.lowMax, r.highMin, r.highMax};
}

TEST(PulseDistance, necLikeCaptureFindsLeaderGroupsAndLeavesTheFinalEntryOut) {
    Capture c = pulseDistance(bitsOfBytes({0x20, 0xDF, 0x10, 0xEF}));
    c.low.back() = 700;  // the final entry is never analysed: its burst must not reach lowMax
    const CodeRecord r = decodeType1(c);
    EXPECT_EQ(r.format, 1);
    EXPECT_EQ(r.pairCount, 33);
    EXPECT_EQ(r.leaderLow, 9000);
    EXPECT_EQ(r.leaderHigh, 4500);
    EXPECT_EQ(groupsOf(r), (Groups{1690, 1690, 560, 560, 560, 560}));
    EXPECT_EQ(r.bitCount, 32);
    EXPECT_EQ(r.codeBytes, codeBytes({0x20, 0xDF, 0x10, 0xEF}));
    EXPECT_EQ(r.keys, KeyCodeList{});
}

TEST(PulseDistance, completedBytesStandTwiceInCodeValue) {
    const CodeRecord r = decodeType1(pulseDistance(bitsOfBytes({0x00, 0xFF, 0x80, 0x7F})));
    EXPECT_EQ(r.codeValue, 0x0000FFFF80807F7Full);
    EXPECT_EQ(r.codeBytes, codeBytes({0x00, 0xFF, 0x80, 0x7F}));

    // Beyond 32 bits only the last four bytes remain, each twice.
    const CodeRecord six =
        decodeType1(pulseDistance(bitsOfBytes({0x11, 0x22, 0x33, 0x44, 0x55, 0x66})));
    EXPECT_EQ(six.codeValue, 0x3333444455556666ull);
    EXPECT_EQ(six.bitCount, 48);
    EXPECT_EQ(six.codeBytes, codeBytes({0x11, 0x22, 0x33, 0x44, 0x55, 0x66}));
}

TEST(PulseDistance, partialLastByteIsLeftAlignedInValueAndLowInItsCodeByte) {
    std::vector<int> bits = bitsOfBytes({0xA5});
    for (int b : bitsOf("101"))
        bits.push_back(b);
    const CodeRecord r = decodeType1(pulseDistance(bits));
    EXPECT_EQ(r.bitCount, 11);
    EXPECT_EQ(r.codeBytes, codeBytes({0xA5, 0x05}));
    EXPECT_EQ(r.codeValue, 0xA5A5A0ull);
}

TEST(PulseDistance, aPeriodOfExactlyOneAndAHalfTimesTheShortestLowIsNotAOne) {
    Capture c;
    c.add(9000, 4500).add(560, 840).add(560, 841).add(560, 560).end();
    const CodeRecord r = decodeType1(c);
    EXPECT_EQ(groupsOf(r), (Groups{841, 841, 560, 560, 560, 840}));
    EXPECT_EQ(r.codeBytes[0], 0b010);
    EXPECT_EQ(r.codeValue, 0b010ull << 5);
}

TEST(PulseDistance, pulseWidthSignalGivesZeroBecauseNoPauseIsLongEnough) {
    const Capture c = pulseWidth(bitsOf("1011 0010 1011"));
    const CodeRecord r = decodeType1(c);
    EXPECT_EQ(r.codeValue, 0u);
    EXPECT_EQ(r.format, 1);
    EXPECT_EQ(groupsOf(r), (Groups{0xFFFF, 0, 600, 1200, 600, 600}));
}

TEST(PulseWidth, twelveBitsGiveLeftAlignedStreamAndLowNibbleInSecondByte) {
    const Capture c = pulseWidth(bitsOf("1011 0010 1011"));
    const CodeRecord r = decodeCapture(c.low, c.high);
    EXPECT_EQ(r.format, 2);
    EXPECT_EQ(r.codeValue, 0xB2B0u);
    EXPECT_EQ(r.codeBytes, codeBytes({0xB2, 0x0B}));
    EXPECT_EQ(r.bitCount, 12);
    EXPECT_EQ(groupsOf(r), (Groups{1200, 1200, 600, 600, 600, 600}));
}

TEST(PulseWidth, beyondSixtyFourBitsOnlyTheLastSixtyFourRemain) {
    std::vector<int> bits = bitsOfBytes({0xFF, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08});
    const CodeRecord r = decodeType2(pulseWidth(bits));
    EXPECT_EQ(r.codeValue, 0x0102030405060708ull);
    EXPECT_EQ(r.bitCount, 72);
}

TEST(BitLimit, oneHundredFiftyNineBitsDecodeInBothTypes) {
    // 19 bytes, the last three 12 34 56, then seven one bits.
    std::vector<int> bits(16 * 8, 0);
    for (int b : bitsOfBytes({0x12, 0x34, 0x56}))
        bits.push_back(b);
    for (int i = 0; i < 7; ++i)
        bits.push_back(1);
    ASSERT_EQ(bits.size(), kMaxDecodedBits);

    const CodeRecord t1 = decodeType1(pulseDistance(bits));
    EXPECT_EQ(t1.format, 1);
    EXPECT_EQ(t1.bitCount, 159);
    EXPECT_EQ(t1.codeBytes[18], 0x56);
    EXPECT_EQ(t1.codeBytes[19], 0x7F);
    EXPECT_EQ(t1.codeValue, 0x00121234345656FEull);

    const CodeRecord t2 = decodeType2(pulseWidth(bits));
    EXPECT_EQ(t2.format, 2);
    EXPECT_EQ(t2.bitCount, 159);
    EXPECT_EQ(t2.codeBytes[19], 0x7F);
    EXPECT_EQ(t2.codeValue, 0x00000000123456FEull);
}

TEST(BitLimit, theHundredSixtiethBitOverflowsWithFormatAndBitCountZero) {
    const std::vector<int> bits(160, 1);
    const Capture c = pulseDistance(bits);
    CodeRecord r;
    r.pairCount = static_cast<std::uint16_t>(c.low.size() - 1);
    EXPECT_FALSE(DecodePulseDistance(c.low, c.high, r));
    EXPECT_EQ(r.codeValue, kCodeTooLong);
    EXPECT_EQ(r.format, 0);
    EXPECT_EQ(r.bitCount, 0);
    EXPECT_EQ(r.pairCount, 161);
    EXPECT_EQ(r.leaderLow, 9000);  // the timing groups keep what was found
    EXPECT_EQ(r.oneMin, 1690);

    const Capture w = pulseWidth(bits);
    CodeRecord r2;
    r2.pairCount = static_cast<std::uint16_t>(w.low.size() - 1);
    EXPECT_FALSE(DecodePulseWidth(w.low, w.high, r2));
    EXPECT_EQ(r2.codeValue, kCodeTooLong);
    EXPECT_EQ(r2.format, 0);

    // The capture's analysis does not fall back to type 2 after a type 1 overflow.
    const CodeRecord viaCapture = decodeCapture(c.low, c.high);
    EXPECT_EQ(viaCapture.codeValue, kCodeTooLong);
    EXPECT_EQ(viaCapture.format, 0);
}

TEST(Leader, theFirstLowAboveSixThousandIsTheLeaderEvenIfALaterOneIsLonger) {
    Capture c;
    c.add(560, 560).add(6500, 3000).add(560, 1690).add(9000, 1690).add(560, 560).end();
    const CodeRecord r = decodeType1(c);
    EXPECT_EQ(r.leaderLow, 6500);
    EXPECT_EQ(r.leaderHigh, 3000);
    // Data after the leader at entry 1: entries 2..4; type 1 counts them.
    EXPECT_EQ(r.bitCount, 3);
    EXPECT_EQ(r.lowMax, 9000);
    EXPECT_EQ(r.codeBytes[0], 0b110);

    // A low of exactly 6000 does not stop the search.
    Capture d;
    d.add(6000, 600).add(6001, 600).add(560, 1690).end();
    EXPECT_EQ(decodeType1(d).leaderLow, 6001);
}

TEST(Leader, withoutALowAboveSixThousandTheFirstLongestIsTheLeader) {
    Capture c;
    c.add(600, 600).add(2400, 500).add(1200, 600).add(2400, 700).add(600, 600).end(600);
    const CodeRecord t2 = decodeType2(c);
    EXPECT_EQ(t2.leaderLow, 2400);
    EXPECT_EQ(t2.leaderHigh, 500);
    // Type 2 stores the index of the last data pair, not the number of data pairs.
    EXPECT_EQ(t2.bitCount, 4);
    EXPECT_EQ(t2.codeBytes[0], 0b110);

    const CodeRecord t1 = decodeType1(c);
    EXPECT_EQ(t1.leaderHigh, 500);
    EXPECT_EQ(t1.bitCount, 3);
}

TEST(EndOfData, aPauseLongerThanTheLeaderBurstEndsTheDataButAnEqualOneDoesNot) {
    Capture c;
    c.add(9000, 4500).add(560, 1690).add(560, 9001).add(560, 1690).add(560, 1690).end();
    const CodeRecord cut = decodeType1(c);
    EXPECT_EQ(cut.bitCount, 1);
    EXPECT_EQ(cut.codeValue, 0x80u);

    c.high[2] = 9000;
    const CodeRecord whole = decodeType1(c);
    EXPECT_EQ(whole.bitCount, 4);
    EXPECT_EQ(whole.oneMax, 9000);

    // The leader's own pause is never compared.
    Capture d;
    d.add(9000, 20000).add(560, 1690).add(560, 560).end();
    EXPECT_EQ(decodeType1(d).bitCount, 2);
}

TEST(EmptyData, givesCodeValueZeroInBothTypes) {
    // A repeat frame: leader, then only the final entry.
    Capture c;
    c.add(9000, 2250).end();
    const CodeRecord r = decodeCapture(c.low, c.high);
    EXPECT_EQ(r.codeValue, 0u);
    EXPECT_EQ(r.pairCount, 1);
    EXPECT_EQ(r.bitCount, 0);

    // Data ended at once by a long pause.
    Capture d;
    d.add(9000, 4500).add(560, 30000).add(560, 1690).end();
    EXPECT_EQ(decodeCapture(d.low, d.high).codeValue, 0u);
}

TEST(Analysis, entryCountMinusOneIsAnalysedAndNothingArrivedGivesNoPairs) {
    const Capture c = pulseDistance(bitsOfBytes({0x5A}));
    EXPECT_EQ(decodeCapture(c.low, c.high).pairCount, c.low.size() - 1);

    const CodeRecord none = decodeCapture({}, {});
    EXPECT_EQ(none.pairCount, 0);
    EXPECT_EQ(none.codeValue, 0u);
    EXPECT_EQ(none.bitCount, 0);

    const std::uint16_t one[] = {9000};
    const std::uint16_t pause[] = {40000};
    const CodeRecord single = decodeCapture(one, pause);
    EXPECT_EQ(single.pairCount, 0);
    EXPECT_EQ(single.codeValue, 0u);
}

TEST(Bounds, aPairCountBeyondTheArraysIsLoweredToThePairsPresent) {
    const Capture c = pulseDistance(bitsOfBytes({0x5A}));
    CodeRecord r;
    r.pairCount = 0xFFFF;
    EXPECT_TRUE(DecodePulseDistance(c.low, c.high, r));
    EXPECT_EQ(r.pairCount, c.low.size());
    EXPECT_EQ(r.codeBytes[0], 0x5A);

    // Only the pairs both arrays hold count.
    const std::span<const std::uint16_t> shortHigh(c.high.data(), 5);
    CodeRecord w;
    w.pairCount = 0xFFFF;
    DecodePulseWidth(c.low, shortHigh, w);
    EXPECT_EQ(w.pairCount, 5);

    CodeRecord e;
    e.pairCount = 100;
    DecodePulseDistance({}, {}, e);
    EXPECT_EQ(e.pairCount, 0);
    EXPECT_EQ(e.leaderLow, 0);
}

TEST(Bounds, missingHighPeriodsOfACaptureCountAsZero) {
    const Capture c = pulseDistance(bitsOfBytes({0xFF}));
    // Only the leader's pause and the first three data pauses arrived.
    const std::span<const std::uint16_t> fewHighs(c.high.data(), 4);
    const CodeRecord r = decodeCapture(c.low, fewHighs);
    EXPECT_EQ(r.pairCount, c.low.size() - 1);
    EXPECT_EQ(r.format, 1);
    EXPECT_EQ(r.bitCount, 8);
    EXPECT_EQ(r.codeBytes[0], 0xE0);
    EXPECT_EQ(r.highMin, 0);
}

TEST(Decoders, rewriteTheWholeRecordAndKeepOnlyThePairCount) {
    const Capture c = pulseDistance(bitsOfBytes({0x0F}));
    CodeRecord r;
    r.pairCount = static_cast<std::uint16_t>(c.low.size() - 1);
    r.keys = {1, 2, 3, 4, 5, 6};
    r.codeBytes.fill(0xEE);
    r.reserved54 = 9;
    DecodePulseDistance(c.low, c.high, r);
    EXPECT_EQ(r.keys, KeyCodeList{});
    EXPECT_EQ(r.codeBytes, codeBytes({0x0F}));
    EXPECT_EQ(r.reserved54, 0);
}

}  // namespace
}  // namespace tessik
