#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/ir/decoders.hpp"

namespace tessik {
namespace {

// A capture as the receiver hands it over: entry i is (low[i], high[i]). The final entry of
// every capture ends in the silence that stopped the recording.
struct Capture {
    std::vector<std::uint16_t> low, high;
    Capture& add(std::uint16_t l, std::uint16_t h) {
        low.push_back(l);
        high.push_back(h);
        return *this;
    }
    Capture& end(std::uint16_t l = 560) { return add(l, 40000); }
};

// The given entries, then the final one.
Capture entries(std::initializer_list<std::pair<std::uint16_t, std::uint16_t>> pairs,
                std::uint16_t finalLow = 560) {
    Capture c;
    for (const auto& [l, h] : pairs)
        c.add(l, h);
    return c.end(finalLow);
}

// The bits of whole bytes, first bit first, then those of `tail`'s 0/1 digits (spaces skipped).
std::vector<int> bitsOf(const std::vector<std::uint8_t>& bytes, const std::string& tail = "") {
    std::vector<int> bits;
    for (std::uint8_t b : bytes)
        for (int i = 7; i >= 0; --i)
            bits.push_back((b >> i) & 1);
    for (char c : tail)
        if (c != ' ') bits.push_back(c - '0');
    return bits;
}

// Type 1, pulse distance: equal 560 bursts, 560 or 1690 pauses, after a 9000/4500 leader.
// Type 2, pulse width: 1200 or 600 bursts, equal 600 pauses, after a 2400/600 leader.
Capture signal(int type, const std::vector<int>& bits) {
    Capture c;
    c.add(type == 1 ? 9000 : 2400, type == 1 ? 4500 : 600);
    for (int b : bits)
        type == 1 ? c.add(560, b != 0 ? 1690 : 560) : c.add(b != 0 ? 1200 : 600, 600);
    return c.end(type == 1 ? 560 : 600);
}

// One decoder on its own, with the pair count the capture's analysis gives it.
CodeRecord decodeAs(int type, const Capture& c, bool* ok = nullptr) {
    CodeRecord r;
    r.pairCount = static_cast<std::uint16_t>(c.low.size() - 1);
    const bool decoded = (type == 1 ? DecodePulseDistance : DecodePulseWidth)(c.low, c.high, r);
    if (ok != nullptr) *ok = decoded;
    return r;
}

std::array<std::uint8_t, kCodeBytesCount> codeBytes(const std::vector<std::uint8_t>& first) {
    std::array<std::uint8_t, kCodeBytesCount> out{};
    std::copy(first.begin(), first.end(), out.begin());
    return out;
}

// The timing groups in one line: one min/max, low min/max, high min/max.
using Groups = std::array<std::uint16_t, 6>;
Groups groupsOf(const CodeRecord& r) {
    return {r.oneMin, r.oneMax, r.lowMin, r.lowMax, r.highMin, r.highMax};
}

TEST(PulseDistance, necLikeCaptureFillsTheWholeRecordAndLeavesTheFinalEntryOut) {
    Capture c = signal(1, bitsOf({0x20, 0xDF, 0x10, 0xEF}));
    c.low.back() = 700;  // the final entry is never analysed: its burst must not reach lowMax
    const CodeRecord r = decodeAs(1, c);
    EXPECT_EQ(std::tuple(r.format, r.pairCount, r.leaderLow, r.leaderHigh, r.bitCount, r.keys),
              std::tuple(1, 33, 9000, 4500, 32, KeyCodeList{}));
    EXPECT_EQ(groupsOf(r), (Groups{1690, 1690, 560, 560, 560, 560}));
}

TEST(BitPacking, type1DoublesCompletedBytesAndPartialBytesAndLongStreamsAreCut) {
    // The input: whole bytes, then the bits of a partial last byte, which its code byte holds
    // in its low bits.
    const struct {
        int type;
        std::vector<std::uint8_t> bytes;
        const char* tail;
        std::uint8_t lastByte;
        int bitCount;
        std::uint64_t value;
    } cases[] = {
        {1, {0x00, 0xFF, 0x80, 0x7F}, "", 0, 32, 0x0000FFFF80807F7Full},
        // Beyond 32 bits only the last four bytes remain in the value, each twice.
        {1, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66}, "", 0, 48, 0x3333444455556666ull},
        // A partial last byte is left-aligned in the value.
        {1, {0xA5}, "101", 0x05, 11, 0xA5A5A0ull},
        // Type 2 (reached through the fallback): the bit stream itself, left-aligned; beyond
        // 64 bits only the last 64 remain.
        {2, {0xB2}, "1011", 0x0B, 12, 0xB2B0ull},
        {2, {0xFF, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}, "", 0, 72, 0x0102030405060708},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << ", " << c.bitCount << " bits");
        const Capture s = signal(c.type, bitsOf(c.bytes, c.tail));
        const CodeRecord r = decodeCapture(s.low, s.high);
        EXPECT_EQ(std::tuple(r.format, r.bitCount, r.codeValue),
                  std::tuple(c.type, c.bitCount, c.value));
        std::vector<std::uint8_t> bytes = c.bytes;
        bytes.push_back(c.lastByte);  // 0 when there is no partial byte: the zero fill
        EXPECT_EQ(r.codeBytes, codeBytes(bytes));
    }
}

TEST(PulseDistance, aPeriodOfExactlyOneAndAHalfTimesTheShortestLowIsNotAOne) {
    const CodeRecord r = decodeAs(1, entries({{9000, 4500}, {560, 840}, {560, 841}, {560, 560}}));
    EXPECT_EQ(groupsOf(r), (Groups{841, 841, 560, 560, 560, 840}));
    EXPECT_EQ(std::tuple(r.codeBytes[0], r.codeValue), std::tuple(0b010, 0b010ull << 5));
}

TEST(PulseWidth, type1FindsNoPauseLongEnoughSoTheAnalysisFallsBackToType2) {
    const Capture c = signal(2, bitsOf({0xB2}, "1011"));
    const CodeRecord t1 = decodeAs(1, c);
    EXPECT_EQ(std::tuple(t1.format, t1.codeValue), std::tuple(1, 0u));
    EXPECT_EQ(groupsOf(t1), (Groups{0xFFFF, 0, 600, 1200, 600, 600}));
    EXPECT_EQ(groupsOf(decodeCapture(c.low, c.high)), (Groups{1200, 1200, 600, 600, 600, 600}));
}

TEST(BitLimit, oneHundredFiftyNineBitsDecodeInBothTypesAndTheHundredSixtiethOverflows) {
    // 19 bytes, the last three 12 34 56, then seven one bits.
    const std::vector<int> bits =
        bitsOf(std::vector<std::uint8_t>(16, 0), "00010010 00110100 01010110 1111111");
    ASSERT_EQ(bits.size(), kMaxDecodedBits);
    const std::uint64_t values[] = {0, 0x00121234345656FEull, 0x00000000123456FEull};
    for (int type : {1, 2}) {
        SCOPED_TRACE(type);
        const CodeRecord r = decodeAs(type, signal(type, bits));
        EXPECT_EQ(std::tuple(r.format, r.bitCount, r.codeBytes[18], r.codeBytes[19], r.codeValue),
                  std::tuple(type, 159, 0x56, 0x7F, values[type]));
        bool ok = true;
        const CodeRecord over = decodeAs(type, signal(type, std::vector<int>(160, 1)), &ok);
        EXPECT_EQ(std::tuple(ok, over.format, over.bitCount, over.codeValue),
                  std::tuple(false, 0, 0, kCodeTooLong));
    }
}

TEST(Leader, theFirstLowAboveSixThousandElseTheFirstLongestIsTheLeader) {
    const CodeRecord r =
        decodeAs(1, entries({{560, 560}, {6500, 3000}, {560, 1690}, {9000, 1690}, {560, 560}}));
    // 6500 although a later one is longer; data after the leader at entry 1: entries 2..4,
    // which type 1 counts.
    EXPECT_EQ(std::tuple(r.leaderLow, r.leaderHigh, r.bitCount, r.lowMax, r.codeBytes[0]),
              std::tuple(6500, 3000, 3, 9000, 0b110));

    // A low of exactly 6000 does not stop the search.
    EXPECT_EQ(decodeAs(1, entries({{6000, 600}, {6001, 600}, {560, 1690}})).leaderLow, 6001);

    const Capture w = entries({{600, 600}, {2400, 500}, {1200, 600}, {2400, 700}, {600, 600}}, 600);
    const CodeRecord t2 = decodeAs(2, w);
    // Type 2 stores the index of the last data pair (4), not the number of data pairs (3).
    EXPECT_EQ(std::tuple(t2.leaderLow, t2.leaderHigh, t2.bitCount, t2.codeBytes[0]),
              std::tuple(2400, 500, 4, 0b110));
    const CodeRecord t1 = decodeAs(1, w);
    EXPECT_EQ(std::tuple(t1.leaderHigh, t1.bitCount), std::tuple(500, 3));
}

TEST(EndOfData, aPauseLongerThanTheLeaderBurstEndsTheDataButAnEqualOneDoesNot) {
    Capture c = entries({{9000, 4500}, {560, 1690}, {560, 9001}, {560, 1690}, {560, 1690}});
    const CodeRecord cut = decodeAs(1, c);
    EXPECT_EQ(std::tuple(cut.bitCount, cut.codeValue), std::tuple(1, 0x80u));
    c.high[2] = 9000;
    const CodeRecord whole = decodeAs(1, c);
    EXPECT_EQ(std::tuple(whole.bitCount, whole.oneMax), std::tuple(4, 9000));

    // The leader's own pause is never compared.
    EXPECT_EQ(decodeAs(1, entries({{9000, 20000}, {560, 1690}, {560, 560}})).bitCount, 2);
}

TEST(Analysis, nothingToDecodeGivesCodeValueZero) {
    // A frame ended at once by a long pause, no entry and a single one.
    const Capture cut = entries({{9000, 4500}, {560, 30000}, {560, 1690}});
    EXPECT_EQ(decodeCapture(cut.low, cut.high).codeValue, 0u);
    for (const Capture& nothing : {Capture(), entries({}, 9000)}) {
        const CodeRecord r = decodeCapture(nothing.low, nothing.high);
        EXPECT_EQ(std::tuple(r.codeValue, r.pairCount, r.bitCount), std::tuple(0u, 0, 0));
    }
}

TEST(Decoders, rewriteTheRecordAndLowerPairCountsBeyondTheArraysMissingHighsCountAsZero) {
    const Capture c = signal(1, bitsOf({0x5A}));
    CodeRecord r;
    r.pairCount = 0xFFFF;
    r.keys = {1, 2, 3, 4, 5, 6};
    r.codeBytes.fill(0xEE);
    r.reserved54 = 9;
    EXPECT_TRUE(DecodePulseDistance(c.low, c.high, r));
    EXPECT_EQ(std::tuple(r.pairCount, r.keys, r.codeBytes, r.reserved54),
              std::tuple(c.low.size(), KeyCodeList{}, codeBytes({0x5A}), 0));

    // Only the pairs both arrays hold count.
    r.pairCount = 0xFFFF;
    DecodePulseWidth(c.low, std::span(c.high).first(5), r);
    EXPECT_EQ(r.pairCount, 5);

    // A capture of which only the leader's pause and the first three data pauses arrived.
    const Capture ones = signal(1, bitsOf({0xFF}));
    const CodeRecord few = decodeCapture(ones.low, std::span(ones.high).first(4));
    EXPECT_EQ(std::tuple(few.pairCount, few.format, few.bitCount, few.codeBytes[0], few.highMin),
              std::tuple(ones.low.size() - 1, 1, 8, 0xE0, 0));
}

}  // namespace
}  // namespace tessik
