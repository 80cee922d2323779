#include <gtest/gtest.h>

#include <vector>

#include "core/ir/raw_signals.hpp"

namespace tessik {
namespace {

using Periods = std::vector<std::uint16_t>;

TEST(RawDurations, blankLinesSeparateSignalsAndLongDurationsSaturate) {
    const RawSignalsParse p =
        parseRawSignals("9000 4500\r\n 560\t1690 560 99999999999\n\n\n2400 600\n");
    ASSERT_TRUE(p.ok) << p.error;
    ASSERT_EQ(p.signals.size(), 2u);
    EXPECT_EQ(p.signals[0].durations, (Periods{9000, 4500, 560, 1690, 560, 65535}));
    EXPECT_EQ(p.signals[0].name, "");
    EXPECT_EQ(p.signals[1].durations, (Periods{2400, 600}));
}

TEST(RawDurations, aTokenThatIsNotANumberIsRefusedWithItsLine) {
    const RawSignalsParse p = parseRawSignals("9000 4500\n560 -1690\n");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.error, "line 2: not a duration in microseconds: \"-1690\"");
}

TEST(IrFile, takesRawBlocksWithTheirNamesAndSkipsParsedOnes) {
    const char* text =
        "\xEF\xBB\xBF"
        "Filetype: IR signals file\n"
        "Version: 1\n"
        "# \n"
        "name: Power\n"
        "type: raw\n"
        "frequency: 38000\n"
        "duty_cycle: 0.330000\n"
        "data: 9000 4500 560 1690 560\n"
        "#\n"
        "name: Vol_up\n"
        "type: parsed\n"
        "protocol: NEC\n"
        "address: 04 00 00 00\n"
        "command: 02 00 00 00\n"
        "#\n"
        "name: Mute\r\n"
        "type: raw\r\n"
        "data: 2400 600 1200\r\n";
    const RawSignalsParse p = parseRawSignals(text);
    ASSERT_TRUE(p.ok) << p.error;
    ASSERT_EQ(p.signals.size(), 2u);
    EXPECT_EQ(p.signals[0].name, "Power");
    EXPECT_EQ(p.signals[0].durations, (Periods{9000, 4500, 560, 1690, 560}));
    EXPECT_EQ(p.signals[1].name, "Mute");
    EXPECT_EQ(p.signals[1].durations, (Periods{2400, 600, 1200}));
    EXPECT_EQ(p.skipped, 1u);
}

TEST(IrFile, malformedLinesAndRawBlocksWithoutDataAreRefused) {
    EXPECT_EQ(parseRawSignals("Filetype: IR signals file\nname: A\ntype: raw\nnonsense\n").error,
              "line 4: expected \"key: value\"");
    EXPECT_EQ(parseRawSignals("Filetype: IR signals file\nname: A\ntype: raw\n#\nname: B\n").error,
              "line 2: raw signal \"A\" has no data");
    EXPECT_EQ(parseRawSignals("Filetype: IR signals file\nname: A\ntype: raw\ndata: 1 x2\n").error,
              "line 4: not a duration in microseconds: \"x2\"");
}

TEST(Entries, pairBurstsWithPausesAndGiveATrailingBurstTheLongestPause) {
    const Periods d{9000, 4500, 560, 1690, 560};
    const CaptureEntries e = entriesFromDurations(d);
    EXPECT_EQ(e.low, (Periods{9000, 560, 560}));
    EXPECT_EQ(e.high, (Periods{4500, 1690, 65535}));

    const CaptureEntries even = entriesFromDurations(Periods{2400, 600});
    EXPECT_EQ(even.low, Periods{2400});
    EXPECT_EQ(even.high, Periods{600});
    EXPECT_TRUE(entriesFromDurations({}).low.empty());
}

}  // namespace
}  // namespace tessik
