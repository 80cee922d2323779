// tessik-cli commands that work on files and tables: export, import, show, keys and decode.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "cli/json_model.hpp"
#include "core/datafile/data_file.hpp"
#include "core/datafile/writer.hpp"
#include "platform/durable_file.hpp"
#include "support/cli_runner.hpp"
#include "support/model_builders.hpp"
#include "support/temp_dir.hpp"

namespace tessik::cli {
namespace {

using test::CliRun;
using test::runCli;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class FileCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        RemoteModel m = test::modelWithButtons(3);
        test::rewrite(m, [](RemoteTables& t) {
            t.header.remoteName = u"リビング TV";
            t.macros[0] = test::macroNamed(u"Movie", 2);
            t.macros[4].name = u"named but unused";  // non-zero bytes in a free slot are kept
            t.jitterPercent = 12;
            t.buttons[0].code.keys = {0x0106, 0, 0, 0, 0, 0};
            t.buttons[0].text = {1, u"c", u"copy"};
            t.buttons[1].code.keys = {0x0204, 0x0005, 0x02E1, 0, 0, 0};
            t.buttons[1].text = {2, u"[LSHIFT]Ab", u"音量 +"};
            test::referToMacro(t, 2, 0);
        });
        platform::DurableFileReplacer files;
        ASSERT_TRUE(saveDataFile(ird, m, files).ok);
    }
    test::TempDir dir;
    std::string ird = (dir / "tv.ird").string();
};

TEST_F(FileCommands, exportImportExportGivesIdenticalJsonAndIdenticalFile) {
    const CliRun first = runCli({"export", ird});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_THAT(first.out, HasSubstr("\"remoteName\": \"リビング TV\""));

    std::ofstream(dir / "tv.json") << first.out;
    const std::string copy = (dir / "copy.ird").string();
    const CliRun imported = runCli({"import", (dir / "tv.json").string(), copy});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(runCli({"export", copy}).out, first.out);

    std::vector<std::uint8_t> a, b;
    std::string e;
    ASSERT_EQ(readWholeFile(ird, a, e), ReadOutcome::Read);
    ASSERT_EQ(readWholeFile(copy, b, e), ReadOutcome::Read);
    EXPECT_EQ(a, b);
}

TEST_F(FileCommands, showListsButtonsAsTheMainWindowDoesWithTheirKeysNamed) {
    const CliRun r = runCli({"show", ird});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* s : {"Name: リビング TV", "Jitter: 12 %", "Macro 1: Movie",
                          "Reader L    min  9000  max  9000  mid  9000",
                          "c                       [LCTRL]+C                   copy",
                          "[M Movie]               macro 1"})
        EXPECT_THAT(r.out, HasSubstr(s));
}

TEST(JsonImport, entriesThatWouldBeLostOrInvertTheWindowsAreErrorsNamingTheirPath) {
    std::ifstream in(TESSIK_SOURCE_DIR "/res/samples/living-room-tv.json");
    const Json sample = Json::parse(in);
    const struct {
        std::function<void(Json&)> spoil;
        const char* error;
    } cases[] = {
        {[](Json& d) { d["buttons"].push_back(d["buttons"][0]); }, ".slot: given twice"},
        {[](Json& d) { d["buttons"][1]["codeValue"] = "0x0"; }, "$.buttons[1].codeValue: 0 marks"},
        {[](Json& d) { d["buttons"][0]["comment"] = std::string("a\0b", 3); },
         "$.buttons[0].comment: contains a NUL"},
        {[](Json& d) { d["jitterPercent"] = 101; }, "$.jitterPercent: must be 0..100"},
        {[](Json& d) { d["jitterPercent"] = 2147483647; }, "$.jitterPercent: must be 0..100"},
    };
    RemoteModel model;
    std::string error;
    ASSERT_TRUE(modelFromJson(sample, model, error)) << error;
    for (const auto& c : cases) {
        Json doc = sample;
        c.spoil(doc);
        EXPECT_FALSE(modelFromJson(doc, model, error)) << c.error;
        EXPECT_THAT(error, HasSubstr(c.error));
    }
}

// The key tables are the core's; here, a row as the command prints it.
TEST(KeysCommand, printsOneLinePerUsageRowWithVirtualKeyUsageNameAndWhetherItCounts) {
    const CliRun r = runCli({"keys"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("\n0xA0 0xE1 [LSHIFT] no\n"));
}

// Reading signals and decoding them are the core's (with the real captures); here, what the
// command reads and how it prints each signal.
TEST(Decode, standardInputGivesOneObjectPerSignalNameFirstWithTheExportsFields) {
    const std::string ir =
        "Filetype: IR signals file\nVersion: 1\n#\nname: Vol_up\n"
        "type: parsed\nprotocol: NEC\naddress: 04 00 00 00\n"
        "command: 08 00 00 00\n#\nname: \xFF\xFE\ntype: raw\n"
        "data: 9000 4500 560\n";
    const CliRun r = runCli({"decode", "-"}, ir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2) << "a name not in UTF-8 is replaced";
    const Json first = Json::parse(r.out.substr(0, r.out.find('\n')));
    EXPECT_EQ(first.begin().key(), "name");
    EXPECT_EQ(first["protocol"], "NEC");
    EXPECT_EQ(first["codeValue"], "0x2020DFDF1010EFEF");
    EXPECT_EQ(first.size(), 2u + 14u) << "the fields of an exported button";
}

TEST(ImportSignals, addsEveryNewSignalSaysWhatBecameOfEachAndWritesOnlyWhenOneWasAdded) {
    test::TempDir dir;
    const std::string data = TESSIK_TEST_DATA_DIR "/ir/";
    const std::string first = (dir / "first.ird").string();
    const CliRun lirc = runCli({"import-signals", data + "nec-tv.lircd.conf", first});
    ASSERT_EQ(lirc.status, 0) << lirc.err;
    EXPECT_THAT(lirc.out,
                StartsWith("NEC_TV / Power: added as No 1\nNEC_TV / Vol+: added as No 2\n"));
    EXPECT_THAT(lirc.out, EndsWith("6 of 6 signal(s) added, 6 button(s) in the table\n"));

    // Into that table from standard input: the same remote in Pronto hex adds nothing new.
    std::ifstream pronto(data + "nec-tv.pronto");
    const std::string input((std::istreambuf_iterator<char>(pronto)), {});
    const std::string second = (dir / "second.ird").string();
    const CliRun again = runCli({"import-signals", "-", "--into", first, second}, input);
    EXPECT_EQ(again.status, kExitFailure);
    EXPECT_THAT(again.out, StartsWith("Power: already in the table as No 1\n"));
    EXPECT_THAT(again.err, HasSubstr("nothing was added; " + second + " was not written"));
    EXPECT_FALSE(std::filesystem::exists(second));
}

}  // namespace
}  // namespace tessik::cli
