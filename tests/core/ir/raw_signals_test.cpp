// IR code files as timings: bare durations, the ".ir" signals file, lircd.conf and Pronto hex
// (the NEC TV tables of signal_import_test read them whole); then signals recorded from
// real remote controls (tests/data/ir/real-captures.ir) decode as the receiver's own captures
// of them would.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/analysis/protocol.hpp"
#include "core/analysis/texts.hpp"
#include "core/ir/decoders.hpp"
#include "core/ir/raw_signals.hpp"

namespace tessik {
namespace {

using Periods = std::vector<std::uint16_t>;

TEST(RawDurations, blankLinesSeparateSignalsAndLongDurationsSaturate) {
    const RawSignalsParse p =
        parseRawSignals("9000 4500\r\n 560\t1690 560 99999999999\n\n\n2400 600\n");
    ASSERT_TRUE(p.ok) << p.error;
    ASSERT_EQ(p.found.size(), 2u);
    EXPECT_EQ(std::tuple(p.found[0].name, p.found[0].durations, p.found[1].durations),
              std::tuple("", Periods{9000, 4500, 560, 1690, 560, 65535}, Periods{2400, 600}));
}

TEST(IrFile, takesRawAndParsedBlocksWithTheirNamesAndRemotesAndSkipsBlocksWithoutASignal) {
    std::string longName = "M";  // 401 bytes, cut at the character that byte 256 is part of
    for (int i = 0; i < 200; ++i)
        longName += "\u00E9";
    const RawSignalsParse p = parseRawSignals(
        "\xEF\xBB\xBF"
        "Filetype: IR signals file\nVersion: 1\n# \n"
        "name: Power\ntype: raw\nfrequency: 38000\nduty_cycle: 0.330000\n"
        "data: 9000 4500 560 1690 560\n#\n"
        "name: Vol_up\ntype: parsed\nprotocol: SIRC\naddress: 01 00 00 00\ncommand: 12 00 00 "
        "00\n#\n"
        "name: Teletext\ntype: parsed\nprotocol: RC5\naddress: 00 00 00 00\ncommand: 3C 00 00 "
        "00\n#\n"
        "name: TVs/LG/AKB.IR / Vol / Up\ntype: raw\ndata: 9000\n#\n"
        "name: Volume / Up\ntype: raw\ndata: 9000\n#\n"
        "name: Note\r\ntype: comment\r\n#\r\n"
        "name: " +
        longName + "\rtype: raw\rdata: 2400 600 1200\r");  // as old Macs end lines
    ASSERT_TRUE(p.ok) << p.error;
    ASSERT_EQ(p.found.size(), 6u);
    // A collection names each signal after its source file; any other slash is the button's.
    EXPECT_EQ(std::tuple(p.found[3].remote, p.found[3].name, p.found[4].remote, p.found[4].name),
              std::tuple("TVs/LG/AKB.IR", "Vol / Up", "", "Volume / Up"));
    EXPECT_EQ(std::tuple(p.found[0].name, p.found[0].durations),
              std::tuple("Power", Periods{9000, 4500, 560, 1690, 560}));
    // SIRC: command 0x12 (7 bits), then address 1 (5 bits), least significant first.
    EXPECT_EQ(std::tuple(p.found[1].protocol, p.found[1].durations),
              std::tuple("SIRC", Periods{2400, 600,  600, 600, 1200, 600, 600, 600,  600,
                                         600,  1200, 600, 600, 600,  600, 600, 1200, 600,
                                         600,  600,  600, 600, 600,  600, 600}));
    EXPECT_TRUE(p.found[2].durations.empty());
    EXPECT_NE(p.found[2].unlearnable.find("bi-phase"), std::string::npos);
    EXPECT_EQ(std::tuple(p.found[5].name, p.found[5].durations, p.skipped),
              std::tuple(longName.substr(0, 255), Periods{2400, 600, 1200}, 1u));
}

// A Pronto code is its once part, or its first repeat when it has none, in units of the
// carrier's period (0x006D: 26.3 µs); the silence after the last burst is not a period.
TEST(Pronto, aCodeIsItsOncePartOrElseItsRepeatInCarrierUnits) {
    const RawSignalsParse p = parseRawSignals(
        "0000 006D 0001 0001 0156 00AB 0015 0015\n"
        "Held: 0000 006D 0000 0002 0156 00AB 0015 0F00\n");
    ASSERT_TRUE(p.ok) << p.error;
    ASSERT_EQ(p.found.size(), 2u);
    EXPECT_EQ(p.found[0].durations, (Periods{8993}));
    EXPECT_EQ(std::tuple(p.found[1].name, p.found[1].durations),
              std::tuple("Held", Periods{8993, 4497, 552}));
}

// Every reader names the line it stopped at; nothing absurd is built.
TEST(SignalFiles, malformedInputIsRefusedWithItsLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"Filetype: IR signals file\nname: A\ntype: raw\nnonsense\n",
         "line 4: expected \"key: value\""},
        {"Filetype: IR signals file\nname: A\ntype: raw\n#\nname: B\n",
         "line 2: raw signal \"A\" has no data"},
        {"Filetype: IR signals file\nname: A\ntype: raw\ndata: 1 x2\n",
         "line 4: not a duration in microseconds: \"x2\""},
        {"Filetype: IR signals file\nname: A\ntype: parsed\nprotocol: NEC\naddress: 04\n",
         "line 2: parsed signal \"A\" needs a protocol, an address and a command"},
        {"Filetype: IR signals file\nname: A\ntype: parsed\naddress: 1FF 00\n",
         "line 4: address: expected up to four hex bytes"},
        {"begin remote\n  bits 16\n  begin codes\n    KEY_1 0x10EF\n",
         "line 4: the file ends inside a \"begin\" block"},
        {"begin remote\n  bits 1000\n",
         "line 2: \"1000\" is not a number (or is too large) for bits"},
        {"begin remote\n  header 9000\n", "line 2: header takes 2 value(s)"},
        {"begin remote\n  begin codes\n", "line 2: codes without \"bits\""},
        {"begin remote\n bits 8\n begin codes\n  A 0xZZ\n", "line 4: \"0xZZ\" is not a code"},
        {"0000 006D 0002 0000 0156 00AB\n",
         "line 1: the code announces 2 pairs but holds 2 words "
         "after its four"},
        {"0000 006D 0001 0000 0156 00AB\nPower: 0000 006D 0001 0000 0156 0QAB\n",
         "line 2: \"0QAB\" is not a four-digit hex word"},
        {"\x01\x02\xFF\x1B[2J",
         "line 1: not a duration in microseconds: \"\\x01\\x02\xFF\\x1B[2J\""},
    };
    for (const auto& [input, error] : cases) {
        const RawSignalsParse p = parseRawSignals(input);
        EXPECT_FALSE(p.ok) << error;
        EXPECT_EQ(p.error, error);
    }
}

TEST(Entries, pairBurstsWithPausesAndGiveATrailingBurstTheLongestPause) {
    const CaptureEntries e = entriesFromDurations(Periods{9000, 4500, 560});
    EXPECT_EQ(std::tuple(e.low, e.high), std::tuple(Periods{9000, 560}, Periods{4500, 65535}));
    const CaptureEntries even = entriesFromDurations(Periods{2400, 600});
    EXPECT_EQ(std::tuple(even.low, even.high), std::tuple(Periods{2400}, Periods{600}));
    EXPECT_TRUE(entriesFromDurations({}).low.empty());
}

const std::string kNec = "_Converted_/Pronto/H/Harman_Kardon/HD-720.ir / 6";
const std::string kHousehold = "_Converted_/Pronto/P/Panasonic/DVD-K510.ir / Subtitle";
const std::string kSirc12 = "_Converted_/Pronto/S/Sony/KW-34HD1(NTSC_TUNER).ir / 0";
const std::string kAllOnes = "_Converted_/IR_Plus/W/WEILI/Air Conditioner.ir / 27C";

class RealCaptures : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::ifstream in(std::string(TESSIK_TEST_DATA_DIR) + "/ir/real-captures.ir");
        std::stringstream text;
        text << in.rdbuf();
        parsed_ = parseRawSignals(text.str());
    }

    static CodeRecord decode(const std::string& name) {
        for (const RawSignal& s : parsed_.found) {
            if (s.remote + " / " + s.name == name) {
                const CaptureEntries e = entriesFromDurations(s.durations);
                return decodeCapture(e.low, e.high);
            }
        }
        ADD_FAILURE() << "no signal named " << name;
        return {};
    }

    static inline RawSignalsParse parsed_;
};

TEST_F(RealCaptures, everySignalDecodesToItsFormatBitCountAndValue) {
    ASSERT_TRUE(parsed_.ok) << parsed_.error;
    EXPECT_EQ(parsed_.found.size(), 10u);
    const struct {
        std::string name;
        int format, bits;
        std::uint64_t value;
        int leaderLow, pairs;
    } cases[] = {
        // NEC: 32 bits of pulse distance.
        {kNec, 1, 32, 0x01010E0E68689797ull, 8885, 33},
        // The household format: 48 bits.
        {kHousehold, 1, 48, 0x0D0D000089898484ull, 3459, 49},
        // SIRC 12 loses its last bit to the final entry. The "0" button of a television:
        // command 9, device 1, least significant bit first (1001000 1000).
        {kSirc12, 2, 11, 0x9100u, 2385, 12},
        // Bi-phase coded, no leader: the first longest burst (entry 1) is taken as one.
        {"_Converted_/Pronto/C/Carver/C20V.ir / TTONE", 2, 4, 0x80u, 1788, 18},
        // Short bursts of equal length: the data ends right after the longest one (entry 23),
        // nothing is decoded, and type 2 leaves the leader's index as its bit count.
        {"Cable_Boxes/DSTV/DSTV_EXPLORER.ir / Left", 2, 23, 0u, 327, 35},
        {"ACs/Hisense/Hisense_DG11J1-99_fahrenheit.ir / 76f", 0, 0, kCodeTooLong, 8991, 171},
        // Every pause of this frame is long enough to count as a one, so the decoded value is
        // all ones: a real decode (format 1, 48 bits) that reads like "too long".
        {kAllOnes, 1, 48, kCodeTooLong, 6091, 50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CodeRecord r = decode(c.name);
        EXPECT_EQ(std::tuple(int(r.format), r.bitCount, r.codeValue, r.leaderLow, r.pairCount),
                  std::tuple(c.format, c.bits, c.value, c.leaderLow, c.pairs));
    }
}

TEST_F(RealCaptures, knownProtocolsAreNamedByTheirFields) {
    const std::pair<std::string, const char*> cases[] = {
        {kNec, "NEC extended, address 0x7080, command 0x16"},
        {kHousehold, "AEHA, vendor code 0x2002"},
        {kSirc12, "SIRC 12, address 0x01 or 0x11, command 0x09"},
        {kAllOnes, "pulse distance, 48 bits"},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(protocolText(identifyProtocol(decode(name)), Language::English), expected)
            << name;
}

}  // namespace
}  // namespace tessik
