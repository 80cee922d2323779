#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/json_model.hpp"
#include "support/cli_runner.hpp"
#include "support/temp_dir.hpp"

namespace tessik::cli {
namespace {

using test::CliRun;
using ::testing::HasSubstr;

std::vector<Json> jsonLines(const std::string& out) {
    std::vector<Json> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        lines.push_back(Json::parse(line));
    return lines;
}

// NEC, address 0x04, command 0x08: least significant bit first.
const std::string kNecDurations =
    "9000 4500\n"
    "560 560 560 560 560 1690 560 560 560 560 560 560 560 560 560 560\n"
    "560 1690 560 1690 560 560 560 1690 560 1690 560 1690 560 1690 560 1690\n"
    "560 560 560 560 560 560 560 1690 560 560 560 560 560 560 560 560\n"
    "560 1690 560 1690 560 1690 560 560 560 1690 560 1690 560 1690 560 1690\n"
    "560 40000\n";

std::string oneLine(std::string s) {
    for (char& c : s) {
        if (c == '\n') c = ' ';
    }
    return s;
}

TEST(Decode, durationsFromStandardInputGiveOneObjectWithTheExportsFields) {
    const CliRun r = test::runCli({"decode", "-"}, kNecDurations);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = jsonLines(r.out);
    ASSERT_EQ(lines.size(), 1u);
    const Json& j = lines[0];
    EXPECT_FALSE(j.contains("name"));
    std::vector<std::string> keys;
    for (const auto& item : j.items())
        keys.push_back(item.key());
    EXPECT_EQ(keys,
              (std::vector<std::string>{"format", "pairCount", "leaderHigh", "leaderLow", "oneMax",
                                        "lowMax", "oneMin", "lowMin", "highMax", "highMin",
                                        "codeBytes", "bitCount", "keys", "codeValue"}));
    EXPECT_EQ(j["format"], 1);
    EXPECT_EQ(j["pairCount"], 33);
    EXPECT_EQ(j["bitCount"], 32);
    EXPECT_EQ(j["codeBytes"], "20DF10EF00000000000000000000000000000000");
    EXPECT_EQ(j["codeValue"], "0x2020DFDF1010EFEF");
    EXPECT_EQ(j["keys"], Json::array({0, 0, 0, 0, 0, 0}));

    // No argument reads standard input too.
    EXPECT_EQ(test::runCli({"decode"}, kNecDurations).out, r.out);
}

TEST(Decode, trailingBurstGetsTheLongestPauseAndLongDurationsAreCut) {
    // Entries (70000 -> 65535, 600), (1200, 600), (600, 600), (1200, missing -> 65535).
    const CliRun r = test::runCli(
        {"decode"}, "70000 600 1200 600 600 600 1200\n\n2400 600 1200 600 600 70000 1200 600");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = jsonLines(r.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]["leaderLow"], 65535);
    EXPECT_EQ(lines[0]["pairCount"], 3);
    EXPECT_EQ(lines[0]["format"], 2);
    EXPECT_EQ(lines[0]["codeValue"], "0x80");
    // In the second signal a pause longer than the leader's burst ends the data.
    EXPECT_EQ(lines[1]["leaderLow"], 2400);
    EXPECT_EQ(lines[1]["codeValue"], "0x80");
}

TEST(Decode, irFileGivesEachRawSignalWithItsName) {
    test::TempDir dir;
    std::ofstream(dir / "remote.ir")
        << "Filetype: IR signals file\nVersion: 1\n#\n"
           "name: Vol_up\ntype: raw\ndata: "
        << oneLine(kNecDurations) << "\n#\nname: Power\ntype: parsed\nprotocol: NEC\n";
    const CliRun r = test::runCli({"decode", (dir / "remote.ir").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = jsonLines(r.out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].begin().key(), "name");
    EXPECT_EQ(lines[0]["name"], "Vol_up");
    EXPECT_EQ(lines[0]["codeValue"], "0x2020DFDF1010EFEF");
    EXPECT_THAT(r.err, HasSubstr("1 signal(s) without raw timings skipped"));
}

TEST(Decode, realRecordingsFromTheTestDataDecode) {
    const CliRun r =
        test::runCli({"decode", std::string(TESSIK_TEST_DATA_DIR) + "/ir/real-captures.ir"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = jsonLines(r.out);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[3]["name"], "_Converted_/Pronto/S/Sony/KW-34HD1(NTSC_TUNER).ir / 0");
    EXPECT_EQ(lines[3]["codeValue"], "0x9100");
    EXPECT_EQ(lines[8]["codeValue"], "0xFFFFFFFFFFFFFFFF");
    EXPECT_EQ(lines[8]["format"], 0);
}

TEST(Decode, namesThatAreNotUtf8AreReplacedNotFatal) {
    const CliRun r = test::runCli(
        {"decode"}, "Filetype: IR signals file\nname: \xFF\xFE\ntype: raw\ndata: 9000 4500 560\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(jsonLines(r.out).size(), 1u);
}

TEST(Decode, badInputIsRefused) {
    const CliRun bad = test::runCli({"decode"}, "9000 4500\n560 abc\n");
    EXPECT_EQ(bad.status, kExitFailure);
    EXPECT_THAT(bad.err,
                HasSubstr("standard input: line 2: not a duration in microseconds: \"abc\""));
    EXPECT_TRUE(bad.out.empty());

    const CliRun empty = test::runCli({"decode"}, "\n \n");
    EXPECT_EQ(empty.status, kExitFailure);
    EXPECT_THAT(empty.err, HasSubstr("no raw signal found"));

    EXPECT_EQ(test::runCli({"decode", "/nonexistent/x.ir"}).status, kExitFailure);
    EXPECT_EQ(test::runCli({"decode", "a", "b"}).status, kExitUsage);
}

}  // namespace
}  // namespace tessik::cli
