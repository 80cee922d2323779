// Key layouts: the names remote-code files give their buttons and the roles they stand for,
// key strokes as layout files write them, what makes a layout file refused (with its line),
// the shipped layouts, and an import that assigns the keys of a layout.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/ir/signal_import.hpp"
#include "core/layouts/key_strokes.hpp"
#include "core/layouts/layout_import.hpp"
#include "core/layouts/roles.hpp"
#include "layouts/json_document.hpp"
#include "layouts/layout_files.hpp"

namespace tessik {
namespace {

TEST(SignalNames, theNamesOfPublicRemoteFilesStandForTheirRoles) {
    const struct {
        const char* name;
        const char* role;  // nullptr: none
    } cases[] = {
        // The ".ir" collections' spellings.
        {"POWER", "Power"},
        {"VOL+", "VolumeUp"},
        {"VOL-", "VolumeDown"},
        {"CH+", "ChannelUp"},
        {"CH-", "ChannelDown"},
        {"MUTE", "Mute"},
        {"OK", "OK"},
        {"UP", "Up"},
        {"DN_ARROW", "Down"},
        {"VOL_DN", "VolumeDown"},
        {"FFWD", "FastForward"},
        {"REW", "Rewind"},
        {"EXIT", "Back"},
        {"ENTER", "OK"},
        {"INFO", "Info"},
        {"7", "7"},
        // LIRC's namespace.
        {"KEY_POWER", "Power"},
        {"KEY_VOLUMEUP", "VolumeUp"},
        {"KEY_VOLUMEDOWN", "VolumeDown"},
        {"KEY_OK", "OK"},
        {"KEY_1", "1"},
        {"KEY_NUMERIC_0", "0"},
        {"KEY_CHANNELUP", "ChannelUp"},
        {"KEY_PLAYPAUSE", "PlayPause"},
        {"KEY_NEXTSONG", "Next"},
        {"KEY_EPG", "Guide"},
        {"BTN_2", "2"},
        // Case, spaces and separators; a '-' only counts at the end.
        {"vol up", "VolumeUp"},
        {"Vol -", "VolumeDown"},
        {"Ch_Down", "ChannelDown"},
        {"Play/Pause", "PlayPause"},
        {"fast-forward", "FastForward"},
        {" red ", "Red"},
        {"Num 3", "3"},
        {"NEC_TV KEY_UP", "Up"},
        {"TV VOL UP", "VolumeUp"},
        {"CD STOP", "Stop"},
        // Names that stand for no role.
        {"INPUT", nullptr},
        {"Unknown", nullptr},
        {"", nullptr},
        {"KEY_", nullptr},
        {"10", nullptr},
        {"VOL", nullptr},
        {"KEY_VOLUME", nullptr},
        {"2 (ABC)", nullptr},
    };
    for (const auto& c : cases) {
        const auto role = roleOfSignalName(c.name);
        EXPECT_EQ(role.value_or("none"), c.role != nullptr ? c.role : "none") << c.name;
    }
    for (const StandardRole& r : standardRoles())
        EXPECT_EQ(findStandardRole(r.id), &r) << r.id;
}

TEST(KeyStrokes, namesAndModifiersBecomeKeyCodesOfTheReceiversTableOnly) {
    const struct {
        const char* text;
        KeyCode code;
        KeyStrokeError error;
        const char* word;
    } cases[] = {
        {"Up", 0x0052, KeyStrokeError::None, ""},
        {"ctrl+UP", 0x0152, KeyStrokeError::None, ""},
        {"Shift + n", 0x0211, KeyStrokeError::None, ""},
        {"RAlt+RWin+Num0", 0xC062, KeyStrokeError::None, ""},
        {"F12", 0x0045, KeyStrokeError::None, ""},
        {"0", 0x0027, KeyStrokeError::None, ""},
        {"Equals", 0x002E, KeyStrokeError::None, ""},
        {"Henkan", 0x008B, KeyStrokeError::None, ""},
        {"", 0, KeyStrokeError::Empty, ""},
        {"Ctrl+", 0, KeyStrokeError::Empty, ""},
        {"Ctrl++Up", 0, KeyStrokeError::Empty, "+Up"},
        {"Upp", 0, KeyStrokeError::UnknownName, "Upp"},
        {"F13", 0, KeyStrokeError::UnknownName, "F13"},
        {"Hyper+A", 0, KeyStrokeError::UnknownName, "Hyper"},
        {"Ctrl", 0, KeyStrokeError::UnknownName, "Ctrl"},
        {"Backslash", 0, KeyStrokeError::NotTypeable, "Backslash"},
        {"Ctrl+VolumeUp", 0, KeyStrokeError::NotTypeable, "VolumeUp"},
    };
    for (const auto& c : cases) {
        const KeyStroke k = parseKeyStroke(c.text);
        EXPECT_EQ(std::tuple(k.code, k.error), std::tuple(c.code, c.error)) << c.text;
        if (!k.ok() && c.word[0] != '\0') {
            EXPECT_EQ(k.word, c.word) << c.text;
        }
    }
    // Every key of the table, with every modifier, is written in a way read back the same.
    for (const KeyUsageRow& row : KeyUsageTable) {
        if (row.usage >= 0xE0) continue;  // modifier keys are only written as modifiers
        for (unsigned bits = 0; bits < 256; bits += 17) {
            const auto code = static_cast<KeyCode>(bits << 8 | row.usage);
            EXPECT_EQ(parseKeyStroke(keyStrokeText(code)).code, code) << keyStrokeText(code);
        }
    }
}

LayoutRead read(std::string_view json) {
    return readKeyLayout(layouts::parseJsonDocument(json), "test", Language::English);
}

TEST(KeyLayouts, aFaultyLayoutIsRefusedWithTheLineOfItsFirstFault) {
    const std::string head = "{\n\"name\": {\"en\": \"T\", \"ja\": \"T\"},\n\"roles\": [\n";
    const struct {
        std::string json;
        std::size_t line;
        const char* says;
    } cases[] = {
        {head + "{\"role\": \"Up\", \"keys\": \"Up\"},\n]\n}", 5, "not valid JSON"},
        {"[1, 2]", 1, "a layout is a JSON object"},
        {"{\n\"roles\": []\n}", 1, "\"name\" is missing"},
        {"{\n\"name\": {\"en\": \"T\"},\n\"roles\": []\n}", 2, "needs an \"en\" and a \"ja\""},
        {head + "]\n}", 3, "at least one role"},
        {head + "{\"role\": \"Up\", \"keys\": \"Up\", \"colour\": 1}\n]}", 4, "unknown entry"},
        {head + "{\"role\": \"Up\", \"keys\": \"Up\", \"keys\": \"Down\"}\n]}", 4, "given twice"},
        {head +
             "{\"role\": \"Up\", \"keys\": \"Up\"},\n\n{\"role\": \"Up\", \"keys\": \"Down\"}\n]}",
         6, "the role \"Up\" is given twice (first on line 4)"},
        {head + "{\"role\": \"Blank\", \"keys\": \"B\"}\n]}", 4, "is not a standard role"},
        {head + "{\"role\": \"OK\", \"keys\": \"Entr\"}\n]}", 4, "\"Entr\" is not the name"},
        {head + "{\"role\": \"OK\",\n \"keys\": [\"1\", \"Backslash\"]}\n]}", 5,
         "cannot type \"Backslash\""},
        {head + "{\"role\": \"OK\", \"keys\": [\"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\"7\"]}\n]}", 4,
         "a list of 1 to 6 keys"},
        {head + "{\"role\": \"OK\", \"keys\": 13}\n]}", 4, "a list of 1 to 6 keys"},
        {head + "{\"role\": \"OK\"}\n]}", 4, "\"keys\" is missing"},
        {std::string(16, '[') + std::string(16, ']'), 1, "a layout is a JSON object"},
        {std::string(17, '[') + std::string(17, ']'), 1, "nested too deeply"},
    };
    for (const auto& c : cases) {
        const LayoutRead r = read(c.json);
        EXPECT_FALSE(r.layout.has_value()) << c.json;
        EXPECT_EQ(r.line, c.line) << c.json << "\n" << r.error;
        EXPECT_NE(r.error.find(c.says), std::string::npos) << r.error;
        EXPECT_TRUE(r.error.starts_with("line " + std::to_string(c.line) + ": ")) << r.error;
    }
    const LayoutRead ja = readKeyLayout(layouts::parseJsonDocument("[]"), "t", Language::Japanese);
    EXPECT_TRUE(ja.error.starts_with("1 行目: ")) << ja.error;
}

TEST(KeyLayouts, theShippedLayoutsReadWithNamesInBothLanguagesAndOnlyKeysTheReceiverTypes) {
    const layouts::LayoutList list = layouts::loadLayouts({}, Language::English);
    std::vector<std::string> ids;
    for (const layouts::ShippedLayout& shipped : layouts::shippedLayoutTexts()) {
        // A fault in a shipped layout would leave it out of the list without a word.
        const LayoutRead r = read(shipped.json);
        ASSERT_TRUE(r.layout) << shipped.id << ": " << r.error;
        ids.emplace_back(shipped.id);
        for (const LayoutRole& role : r.layout->roles) {
            EXPECT_FALSE(role.japanese.empty() || role.english.empty()) << role.id;
            for (std::size_t i = 0; i < role.keyCount; ++i)
                EXPECT_TRUE(inKeyUsageTable(keyUsage(role.keys[i]))) << role.id;
        }
    }
    EXPECT_EQ(ids, (std::vector<std::string>{"media-centre", "navigation", "presentation",
                                             "video-player"}));
    EXPECT_EQ(list.layouts.size(), ids.size());
    const KeyLayout& nav = *list.find("navigation");
    EXPECT_EQ(keyCodeListText(nav.role("Up")->keys, nav.role("Up")->keyCount), "[UP]");
    EXPECT_EQ(nav.role("OK")->buttonKeys(u"ok"), (ButtonKeys{{0x28}, 1, u"[ENTER]", u"ok"}));
    const KeyLayout& player = *list.find("video-player");
    EXPECT_EQ(player.role("VolumeUp")->buttonKeys(u""),
              (ButtonKeys{{0x0152}, 1, u"[LCTRL][UP]", u""}));
    EXPECT_EQ(player.role("ChannelUp")->buttonKeys(u""),
              (ButtonKeys{{0x0211}, 1, u"[LSHIFT]N", u""}));
    EXPECT_EQ(player.role("Stop")->buttonKeys(u"").sendText, u"s");
    EXPECT_EQ(list.find("presentation")->roleForSignal("BLACK")->id, "Black") << "its own role";
}

RawSignalsParse readSignals(const std::string& file) {
    std::ifstream in(std::string(TESSIK_TEST_DATA_DIR "/ir/") + file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return parseRawSignals(text.str());
}

// One undo step adds the signals with the keys of their roles; names of no role get none.
TEST(LayoutImport, namedSignalsGetTheirRolesKeysInOneEditAndOthersNone) {
    const KeyLayout nav = *layouts::loadLayouts({}, Language::English).find("navigation");
    const std::vector<std::string> expected = {"[UP]", "[DOWN]", "[LEFT]", "[RIGHT]", "[ENTER]",
                                               "1",    "2",      "0",      "",        ""};
    for (const char* file : {"nec-tv-named.ir", "nec-tv-named.lircd.conf"}) {
        SCOPED_TRACE(file);
        RawSignalsParse parsed = readSignals(file);
        ASSERT_TRUE(parsed.ok) << parsed.error;
        RemoteModel model;
        struct Journal : EditJournal {
            std::vector<RecordedEdit> edits;
            void recordEdit(RecordedEdit e) override { edits.push_back(std::move(e)); }
            void clearHistory() override {}
        } journal;
        model.setJournal(&journal);
        const std::vector<ImportItem> items = planImport(model, std::move(parsed.found));
        std::vector<bool> chosen(items.size(), true);
        chosen[2] = false;  // LEFT stays out: the later ones keep their own keys
        const auto roles = rolesOfItems(nav, items);
        EXPECT_EQ(std::tuple(roles[8], roles[9]), std::tuple(nullptr, nullptr))
            << "Power is not a navigation role; the input key no role at all";
        const auto slots = addImportedWithKeys(model, items, chosen, &nav);
        ASSERT_EQ(slots.size(), 9u);
        for (std::size_t n = 0, i = 0; i < items.size(); ++i) {
            if (!chosen[i]) continue;
            const ButtonRecord& b = model.button(slots[n++]);
            EXPECT_EQ(keyCodeListText(b.code.keys, b.text.keyCount), expected[i]) << i;
            EXPECT_EQ(b.text.comment.empty(), false) << "the name stays the comment";
        }
        ASSERT_EQ(journal.edits.size(), 1u);
        EXPECT_EQ(journal.edits[0].label.kind, EditKind::Import);
        EXPECT_EQ(journal.edits[0].before->tables, RemoteModel().tables());
    }
}

}  // namespace
}  // namespace tessik
