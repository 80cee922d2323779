#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>

#include "core/text/format.hpp"
#include "core/text/language.hpp"
#include "core/text/strings.hpp"
#include "core/text/ui_texts.hpp"

namespace tessik {
namespace {

EnvLookup lookup(const std::map<std::string, std::string>& env) {
    return [&env](const char* name) -> const char* {
        auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    };
}

Language fromEnv(const std::map<std::string, std::string>& env) {
    return languageFromEnvironment(lookup(env));
}

TEST(Language, firstNonEmptyLocaleVariableDecides) {
    EXPECT_EQ(fromEnv({}), Language::English);
    EXPECT_EQ(fromEnv({{"LANG", "ja_JP.UTF-8"}}), Language::Japanese);
    EXPECT_EQ(fromEnv({{"LANGUAGE", "ja:en"}, {"LANG", "C"}}), Language::Japanese);
    EXPECT_EQ(fromEnv({{"LANGUAGE", ""}, {"LC_ALL", "de_DE.UTF-8"}, {"LANG", "ja_JP"}}),
              Language::English);
    EXPECT_EQ(fromEnv({{"LANG", "jv_ID"}}), Language::English);
}

TEST(Language, theSystemsLanguageCountsOnlyWhenNoLocaleVariableNamesOne) {
    const std::map<std::string, std::string> none, english{{"LC_ALL", "C"}};
    adoptSystemLanguage(Language::Japanese, lookup(english));
    const Language named = uiLanguage();
    adoptSystemLanguage(Language::Japanese, lookup(none));
    EXPECT_EQ(std::pair(named, uiLanguage()),
              std::pair(languageFromEnvironment(), Language::Japanese));
    setUiLanguageOverride(std::nullopt);
}

TEST(StringTable, everyTextIsThereInBothLanguages) {
    EXPECT_EQ(text(commandColumn(7), Language::Japanese), "コマンド8");
    for (int id = 101; id <= 149; ++id) {
        const bool present = id != 102 && id != 143;
        EXPECT_EQ(hasText(id), present) << id;
        if (!present) continue;
        EXPECT_FALSE(text(static_cast<StringId>(id), Language::English).empty()) << id;
        EXPECT_FALSE(text(static_cast<StringId>(id), Language::Japanese).empty()) << id;
    }
}

// Alt and a letter reach every menu and entry: each has one access key, unique among the menu
// titles and within its menu, in both languages.
TEST(MainMenu, everyMenuAndEntryHasItsOwnAccessKey) {
    for (const Language language : {Language::English, Language::Japanese}) {
        std::set<char> titles;
        for (const Menu& menu : mainMenu(language)) {
            EXPECT_TRUE(titles.insert(mnemonic(menu.title)).second) << menu.title;
            std::set<char> keys;
            for (const MenuItem& item : menu.items) {
                if (item.separator) continue;
                const char key = mnemonic(item.text);
                EXPECT_NE(key, 0) << item.text;
                EXPECT_TRUE(keys.insert(key).second) << item.text;
            }
        }
        EXPECT_EQ(titles.count(0), 0u);
    }
}

TEST(Format, fillsTheToolsTemplates) {
    EXPECT_EQ(formatText(text(StringId::DeleteNumberQuestion, Language::Japanese), {5}),
              "No.5 を削除しますか？");
    EXPECT_EQ(formatText("%5d bits", {32}), "   32 bits");
    EXPECT_EQ(formatText("calc:0x%x send:0x%04X ", {0xab12, 0xBEE}), "calc:0xab12 send:0x0BEE ");
    EXPECT_EQ(formatText("\"%s\" %d", {"fw", -3}), "\"fw\" -3");
    EXPECT_EQ(formatText("%d %d", {1}), "1 %d");  // a missing argument stays visible
    EXPECT_EQ(codeValueText(0xFFFFFFFFFFFFFFFFull), "0xFFFFFFFFFFFFFFFF");
    EXPECT_EQ(codeValueText(0), "0x0");
}

}  // namespace
}  // namespace tessik
