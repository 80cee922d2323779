// tessik-cli layouts and import-signals --layout: the layouts offered, a user's broken layout
// told with its file and line, and an import that gives named signals their roles' keys.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "core/datafile/data_file.hpp"
#include "core/keys/key_codes.hpp"
#include "core/text/path_text.hpp"
#include "support/cli_runner.hpp"
#include "support/temp_dir.hpp"

namespace tessik::cli {
namespace {

using test::runCli;
using ::testing::HasSubstr;

// The variable that names the folder of the user's data.
#ifdef _WIN32
constexpr const char* kDataHome = "APPDATA";
void setVariable(const char* name, const std::string& value) {
    _putenv_s(name, value.c_str());  // an empty value removes it
}
#else
constexpr const char* kDataHome = "XDG_DATA_HOME";
void setVariable(const char* name, const std::string& value) {
    if (value.empty()) {
        ::unsetenv(name);
    } else {
        ::setenv(name, value.c_str(), 1);
    }
}
#endif

// The user data folder of the run, and the user's layouts in it.
class LayoutCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* old = std::getenv(kDataHome);
        if (old != nullptr) saved_ = old;
        setVariable(kDataHome, dir.path().string());
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { setVariable(kDataHome, saved_); }
    void write(const char* name, const std::string& text) { std::ofstream(folder / name) << text; }

    test::TempDir dir;
    std::filesystem::path folder = dir.path() / "tessik" / "layouts";

  private:
    std::string saved_;
};

TEST_F(LayoutCommands, theUsersLayoutsJoinTheShippedOnesAndABrokenOneIsToldWithItsFileAndLine) {
    write(
        "navigation.json",
        R"({"name": {"en": "My navigation", "ja": "私の"}, "roles": [{"role": "OK", "keys": "Space"}]})");
    write("broken.json",
          "{\n \"name\": {\"en\": \"B\", \"ja\": \"B\"},\n \"roles\": [\n"
          "  {\"role\": \"Up\", \"keys\": \"Ctrl+Upp\"}\n ]\n}\n");
    const test::CliRun r = runCli({"layouts"});
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_EQ(r.err, "tessik-cli: " + pathToUtf8(folder / "broken.json") +
                         ": line 4: \"Upp\" is not the name of a key or modifier\n");
    for (const char* s : {"media-centre: Media centre (Kodi)", "presentation: Presentation",
                          "video-player: Desktop video player (VLC)",
                          "  VolumeUp    Vol+                      Ctrl+Up",
                          "  Black       Black screen              B"})
        EXPECT_THAT(r.out, HasSubstr(s));
    EXPECT_THAT(r.out,
                HasSubstr("navigation: My navigation (" + pathToUtf8(folder / "navigation.json")))
        << "the user's layout takes the shipped one's place";
    EXPECT_THAT(r.out, Not(HasSubstr("Plain navigation")));

    const test::CliRun refused =
        runCli({"import-signals", TESSIK_TEST_DATA_DIR "/ir/nec-tv-named.ir", "--layout", "broken",
                (dir / "out.ird").string()});
    EXPECT_EQ(std::tuple(refused.status, refused.out), std::tuple(kExitFailure, ""));
    EXPECT_THAT(refused.err, HasSubstr("broken.json: line 4:"));
}

TEST_F(LayoutCommands, importWithALayoutGivesNamedSignalsTheirKeysAndListsTheOthers) {
    for (const char* file : {"nec-tv-named.ir", "nec-tv-named.lircd.conf"}) {
        SCOPED_TRACE(file);
        const std::string out = (dir / "out.ird").string();
        const test::CliRun r =
            runCli({"import-signals", std::string(TESSIK_TEST_DATA_DIR "/ir/") + file, "--layout",
                    "navigation", out});
        ASSERT_EQ(r.status, kExitOk) << r.err;
        for (const char* s :
             {"UP: added as No 1, types [UP] (Up)", "OK: added as No 5, types [ENTER] (OK)",
              "0: added as No 8, types 0 (0)",
              "POWER: added as No 9, no keys: no role of the layout",
              "8 of them with the keys of navigation"})
            EXPECT_THAT(r.out, HasSubstr(s));
        RemoteModel m;
        ASSERT_EQ(openDataFile(out, m).outcome, OpenOutcome::Loaded);
        const char* keys[] = {"[UP]", "[DOWN]", "[LEFT]", "[RIGHT]", "[ENTER]",
                              "1",    "2",      "0",      "",        ""};
        for (std::size_t slot = 0; slot < 10; ++slot) {
            const ButtonRecord& b = m.button(slot);
            EXPECT_EQ(keyCodeListText(b.code.keys, b.text.keyCount), keys[slot]) << slot;
        }
        EXPECT_EQ(m.button(4).text.sendText, u"[ENTER]");
    }
    const test::CliRun unknown =
        runCli({"import-signals", TESSIK_TEST_DATA_DIR "/ir/nec-tv-named.ir", "--layout", "kodi",
                (dir / "x.ird").string()});
    EXPECT_EQ(unknown.status, kExitFailure);
    EXPECT_THAT(unknown.err, HasSubstr("no key layout \"kodi\" (media-centre, navigation"));
}

}  // namespace
}  // namespace tessik::cli
