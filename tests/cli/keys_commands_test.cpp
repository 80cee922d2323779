#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "core/datafile/data_file.hpp"
#include "support/cli_runner.hpp"
#include "support/model_builders.hpp"
#include "support/temp_dir.hpp"

namespace tessik::cli {
namespace {

using ::testing::HasSubstr;

TEST(KeysCommand, printsOneLinePerUsageRowInTheDocumentedForm) {
    const test::CliRun r = test::runCli({"keys"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream in(r.out);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 110u);
    // "0xVK 0xUSAGE NAME COUNTS": upper-case hex, one name without spaces, yes or no.
    auto wellFormed = [](const std::string& line) {
        std::istringstream fields(line);
        std::string vk, usage, name, counts, rest;
        fields >> vk >> usage >> name >> counts >> rest;
        auto hex = [](const std::string& f) {
            return f.size() == 4 && f.rfind("0x", 0) == 0 &&
                   f.find_first_not_of("0123456789ABCDEF", 2) == std::string::npos;
        };
        return hex(vk) && hex(usage) && !name.empty() && (counts == "yes" || counts == "no") &&
               rest.empty() && line == vk + ' ' + usage + ' ' + name + ' ' + counts;
    };
    for (const std::string& line : lines)
        EXPECT_TRUE(wellFormed(line)) << line;
    EXPECT_EQ(lines[0], "0x13 0x48 [PAUSE] yes");
    EXPECT_EQ(lines[37], "0xA0 0xE1 [LSHIFT] no");
    EXPECT_EQ(lines[63], "0xE2 0x87 [\\] yes");
    EXPECT_EQ(lines[64], "0x41 0x04 A yes");
    EXPECT_EQ(lines[109], "0x60 0x62 0 yes");

    EXPECT_EQ(test::runCli({"keys", "extra"}).status, 2);
}

TEST(ShowCommand, namesEachButtonsKeysBesideItsSendText) {
    test::TempDir dir;
    RemoteModel m = test::modelWithButtons(3);
    m.macros[0] = test::macroNamed(u"Movie");
    m.buttons[0].code.keys = {0x0106, 0, 0, 0, 0, 0};
    m.buttons[0].text = {1, u"c", u"copy"};
    m.buttons[1].code.keys = {0x0204, 0x0005, 0x02E1, 0, 0, 0};
    m.buttons[1].text = {2, u"[LSHIFT]Ab", u""};
    test::referToMacro(m, 2, 0);
    ASSERT_TRUE(saveDataFile(dir / "k.ird", m).ok);

    const test::CliRun r = test::runCli({"show", (dir / "k.ird").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("Keys"));
    EXPECT_THAT(r.out, HasSubstr("c                       [LCTRL]+C                   copy"));
    EXPECT_THAT(r.out, HasSubstr("[LSHIFT]Ab              [LSHIFT]+A B"));
    EXPECT_THAT(r.out, HasSubstr("[M Movie]               macro 1"));
}

}  // namespace
}  // namespace tessik::cli
