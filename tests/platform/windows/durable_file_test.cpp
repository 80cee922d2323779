// Saving on Windows: the names and paths Windows treats its own way.

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "core/text/path_text.hpp"
#include "platform/durable_file.hpp"
#include "platform/windows/system_text.hpp"
#include "support/temp_dir.hpp"

namespace tessik::test {
namespace {

namespace fs = std::filesystem;

const std::vector<std::uint8_t> kContent = {'t', 'e', 's', 's', 'i', 'k'};

TEST(WindowsSave, deviceNamesAndFoldersAreRefusedWithoutATraceAndLongPathsAreSavedWhole) {
    TempDir dir;
    fs::create_directory(dir / "folder.ird");
    const std::tuple<std::string, std::string> refused[] = {
        {"CON", "not a regular file"},
        {"nul.ird", "not a regular file"},
        {"Com1.ird", "not a regular file"},
        {"lpt9 .txt", "not a regular file"},
        {"folder.ird", std::generic_category().message(EISDIR)},
    };
    for (const auto& [name, error] : refused) {
        const Replacement r = platform::replaceFileDurably(dir / name, kContent);
        EXPECT_EQ(std::tuple(r.ok, r.error), std::tuple(false, error)) << name;
    }
    // Names that only look like devices are ordinary files.
    for (const char* name : {"console.ird", "COM10.ird"})
        EXPECT_TRUE(platform::replaceFileDurably(dir / name, kContent).ok) << name;

    // Far past MAX_PATH, under a Japanese folder name: written whole, nothing cut short.
    fs::path deep = dir.path();
    for (int i = 0; i < 8; ++i)
        deep /= pathFromUtf8("長いフォルダ名の" + std::string(30, 'x'));
    ASSERT_TRUE(fs::create_directories(L"\\\\?\\" + fs::absolute(deep).native()));
    const fs::path file = deep / "table.ird";
    ASSERT_GT(fs::absolute(file).native().size(), std::size_t{MAX_PATH});
    const Replacement r = platform::replaceFileDurably(file, kContent);
    EXPECT_TRUE(r.ok) << r.error;
    std::ifstream in(fs::path(L"\\\\?\\" + fs::absolute(file).native()), std::ios::binary);
    EXPECT_EQ(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}), kContent);
}

TEST(WindowsText, utf16AndUtf8RoundTripAndTheSystemNamesItsErrors) {
    const std::string japanese = "赤外線リモコン 🎮";
    EXPECT_EQ(platform::utf8FromWide(platform::wideFromUtf8(japanese)), japanese);
    EXPECT_EQ(platform::wideFromUtf8("日本"), L"日本");
    const std::string denied = platform::systemErrorText(ERROR_ACCESS_DENIED);
    EXPECT_FALSE(denied.empty());
    EXPECT_NE(denied.back(), '\n');
    EXPECT_EQ(platform::systemErrorText(0x2FFFFFFF), "Windows error 0x2FFFFFFF");
}

}  // namespace
}  // namespace tessik::test
