#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli.hpp"
#include "core/datafile/data_file.hpp"
#include "core/datafile/writer.hpp"
#include "support/cli_runner.hpp"
#include "support/model_builders.hpp"
#include "support/temp_dir.hpp"

namespace tessik::cli {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

using test::CliRun;
CliRun run(Args args) {
    return test::runCli(std::move(args));
}

class FileCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        RemoteModel m = test::modelWithButtons(3);
        m.header.remoteName = u"リビング TV";
        m.buttons[1].text.comment = u"音量 +";
        m.macros[0] = test::macroNamed(u"Movie", 2);
        m.macros[4].name = u"named but unused";  // non-zero bytes in a free slot are kept
        m.jitterPercent = 12;
        ASSERT_TRUE(saveDataFile(dir_ / "tv.ird", m).ok);
    }
    test::TempDir tmp_;
    const fs::path& dir_ = tmp_.path();
};

TEST_F(FileCommands, exportImportExportGivesIdenticalJsonAndIdenticalFile) {
    const CliRun first = run({"export", (dir_ / "tv.ird").string()});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_THAT(first.out, HasSubstr("\"codeValue\": \"0x1000\""));
    EXPECT_THAT(first.out, HasSubstr("\"codeBytes\": \"00100000"));
    EXPECT_THAT(first.out, HasSubstr("\"remoteName\": \"リビング TV\""));
    EXPECT_THAT(first.out, HasSubstr("\"slot\": 4"));

    std::ofstream(dir_ / "tv.json") << first.out;
    const CliRun imported =
        run({"import", (dir_ / "tv.json").string(), (dir_ / "copy.ird").string()});
    ASSERT_EQ(imported.status, 0) << imported.err;
    const CliRun second = run({"export", (dir_ / "copy.ird").string()});
    EXPECT_EQ(second.out, first.out);

    std::vector<std::uint8_t> a, b;
    std::string e;
    ASSERT_TRUE(readWholeFile(dir_ / "tv.ird", a, e));
    ASSERT_TRUE(readWholeFile(dir_ / "copy.ird", b, e));
    EXPECT_EQ(a, b);
}

TEST_F(FileCommands, showListsButtonsAsTheMainWindowDoes) {
    const CliRun r = run({"show", (dir_ / "tv.ird").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("Name: リビング TV"));
    EXPECT_THAT(r.out, HasSubstr("Jitter: 12 %"));
    EXPECT_THAT(r.out, HasSubstr("Send Charactor"));
    EXPECT_THAT(r.out, HasSubstr("2    0x1001"));
    EXPECT_THAT(r.out, HasSubstr("音量 +"));
    EXPECT_THAT(r.out, HasSubstr("Macro 1: Movie"));
    EXPECT_THAT(r.out, HasSubstr("Reader L    min  9000  max  9000  mid  9000"));
}

TEST_F(FileCommands, refusedFilesAndBadJsonFailWithOneClearLineAndWriteNothing) {
    std::ofstream(dir_ / "junk.ird") << "not a data file";
    const CliRun refused = run({"export", (dir_ / "junk.ird").string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_THAT(refused.err, HasSubstr("The file has broken. Or it is not a data file."));
    EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1);
    EXPECT_TRUE(refused.out.empty());

    std::ofstream(dir_ / "bad.json") << R"({"jitterPercent": 10, "remoteName": "x"})";
    const CliRun bad = run({"import", (dir_ / "bad.json").string(), (dir_ / "out.ird").string()});
    EXPECT_EQ(bad.status, 1);
    EXPECT_THAT(bad.err, HasSubstr("missing \"header\""));
    EXPECT_FALSE(fs::exists(dir_ / "out.ird"));

    EXPECT_EQ(run({"show"}).status, 2);
    EXPECT_EQ(run({"frobnicate"}).status, 2);
    EXPECT_EQ(run({"--help"}).status, 0);
}

}  // namespace
}  // namespace tessik::cli
