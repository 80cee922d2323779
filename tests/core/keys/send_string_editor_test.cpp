#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <tuple>
#include <utility>

#include "core/keys/keyboard_state.hpp"
#include "core/keys/native_keys.hpp"
#include "core/keys/send_string_editor.hpp"
#include "support/model_builders.hpp"

namespace tessik {
namespace {

using test::macroNamed;
using test::modelWithButtons;
using test::necLikeCode;
using ::testing::ElementsAre;

struct FakeHost : SendStringHost {
    std::vector<std::size_t> registrations;
    std::function<MacroDialogResult(std::size_t)> registration;  // none: the dialog is cancelled

    MacroDialogResult registerMacro(std::size_t slot) override {
        registrations.push_back(slot);
        return registration ? registration(slot) : MacroDialogResult::Cancelled;
    }
};

// A key press (its scan code tells the side), with the character the text box would type.
struct Step {
    NativeKey key;
    char16_t typed = 0;
};
Step win(std::uint32_t vk, std::uint32_t scan, char16_t typed = 0) {
    return {nativeKeyFromWindows(vk, scan), typed};
}

constexpr std::uint32_t kLShiftScan = 0x2A, kLCtrlScan = 0x1D, kLAltScan = 0x38;
constexpr auto kToBox = KeyDisposition::LeftToTextBox;

constexpr auto kRefused = std::pair(KeyDisposition::Swallowed, false);
// Where the editor stands: the entry, Prev and Next enabled.
auto at(const SendStringState& s) {
    return std::tuple(s.entryIndex, s.prevEnabled, s.nextEnabled);
}

// Three buttons with empty send strings, and macro 0 with three commands.
class SendString : public ::testing::Test {
  protected:
    void SetUp() override {
        for (std::uint64_t i = 0; i < 3; ++i)
            model.AddCode(necLikeCode(0x10 + i), u"");
        test::rewrite(model, [](RemoteTables& t) { t.macros[0] = macroNamed(u"Three", 3); });
    }
    // Opens an editor for the key events to go to; earlier editors stay alive.
    SendStringEditor& open(EditMode mode, std::size_t entry, std::size_t macro = 0) {
        keyboard = {};
        SendStringEditor& e = editors_.emplace_back(model, host, mode, entry, macro);
        e.startRecording(Recording::Keys);  // as a click into the box does
        return e;
    }
    // Plays the part of the dialog: keeps the keyboard state from every press and lets the
    // text box type the character of a key left to it.
    KeyResult press(const Step& s) {
        keyboard.keyDown(s.key.state);
        SendStringEditor& e = editors_.back();
        const KeyResult r = e.keyDown(s.key.capture, keyboard.snapshot());
        if (r.disposition == KeyDisposition::LeftToTextBox && s.typed != 0)
            e.sendTextEdited(e.state().sendText + s.typed);
        return r;
    }
    static auto outcome(const KeyResult& r) { return std::pair(r.disposition, r.captured); }
    // Button 1's entry emptied, `steps` typed, the dialog closed: what the entry holds.
    std::pair<KeyCodeList, ButtonText> typed(const std::vector<Step>& steps,
                                             std::optional<ModifierBox> box = std::nullopt) {
        test::rewrite(model, [](RemoteTables& t) {
            t.buttons[1].text = {};
            t.buttons[1].code.keys = {};
        });
        SendStringEditor& e = open(EditMode::Button, 1);
        if (box) e.setModifierBox(*box, true);
        // Named keys never reach the box; character keys do, and it types them.
        for (const Step& s : steps)
            EXPECT_EQ(outcome(press(s)),
                      std::pair(s.typed ? kToBox : KeyDisposition::Swallowed, true));
        e.close();
        return {model.buttons()[1].code.keys, model.buttons()[1].text};
    }

    RemoteModel model;
    FakeHost host;
    KeyboardState keyboard;

  private:
    std::deque<SendStringEditor> editors_;
};

TEST_F(SendString, capturedKeysGiveTheShownNamesAndTheStoredWords) {
    // Windows resolves the generic Alt to the first modifier down: left Shift. F5 is usage 0x3E
    // with the left Ctrl, Shift and Alt bits.
    EXPECT_EQ(typed({win(0x11, kLCtrlScan), win(0x10, kLShiftScan), win(0x12, kLAltScan),
                     win(0x74, 0x3F)}),
              std::pair(KeyCodeList{0x073E}, ButtonText{1, u"[LCTRL][LSHIFT][LSHIFT][F5]", u""}));
    EXPECT_EQ(typed({win(0x12, 0x138), win('Q', 0x10, u'@')}),  // AltGr: bit 14
              std::pair(KeyCodeList{0x4014}, ButtonText{1, u"[RALT]@", u""}));
    // A checked box applies to the first key; lookalike keys keep their own usages.
    EXPECT_EQ(typed({win('C', 0x2E, u'c'), win(0x6D, 0x4A), win(0xBD, 0x0C), win(0x1C, 0x79),
                     win(0x1D, 0x7B)},
                    ModifierBox::LCtrl),
              std::pair(KeyCodeList{0x0106, 0x56, 0x2D, 0x8B, 0x8A},
                        ButtonText{5, u"c[-][-][HEN][MUHEN]", u""}));
}

TEST_F(SendString, keysWithoutAUsageGoToTheBoxModifiersNeverCountAndASeventhKeyIsSwallowed) {
    SendStringEditor& e = open(EditMode::Button, 0);
    const KeyboardSnapshot none{};
    // Browser back, a generic Shift with no side down, the input method's key untold.
    for (VirtualKey k : {VirtualKey{0xA6}, VirtualKey{0x10}, vk::ProcessKey})
        EXPECT_EQ(outcome(e.keyDown(k, none)), std::pair(kToBox, false)) << int(k);
    // The input method reports the key it took: captured as that key.
    EXPECT_TRUE(e.keyDown(vk::ProcessKey, none, VirtualKey{0x1C}).captured);
    press(win(0x10, kLShiftScan));
    press(win(0x10, kLShiftScan));  // key repeat of a held Shift
    keyboard.releaseAll();
    EXPECT_EQ(std::tuple(e.state().keyCount, e.state().keys[0]), std::tuple(1u, 0x8B));
    for (char16_t c = u'a'; c < u'f'; ++c)
        press(win('A' + (c - u'a'), 0, c));
    const KeyCodeList six = e.state().keys;
    for (std::uint32_t key : {0x47u, 0xA6u})  // a letter, a key without a usage
        EXPECT_EQ(outcome(press(win(key, 0))), kRefused) << key;
    EXPECT_EQ(std::tuple(e.state().keyCount, e.state().keys, e.state().sendText),
              std::tuple(6u, six, u"[HEN][LSHIFT][LSHIFT]abcde"));
}

// The box records only when asked to: a keyboard user records one key (with its modifiers) per
// press of the toggle and is then free to Tab away; Tab, Esc and Enter are keys while recording.
TEST_F(SendString, recordingTakesTheNextKeyOrKeysUntilSixAndNothingWhileOff) {
    SendStringEditor& e = open(EditMode::Button, 0);
    e.stopRecording();
    const std::tuple<Recording, std::vector<Step>, Recording, std::u16string> cases[] = {
        {Recording::Off, {win(0x09, 0x0F)}, Recording::Off, u""},
        {Recording::NextKey, {win(0xA2, kLCtrlScan)}, Recording::NextKey, u"[LCTRL]"},
        {Recording::NextKey, {win('C', 0x2E, u'c')}, Recording::Off, u"[LCTRL]c"},
        {Recording::NextKey, {win(0x09, 0x0F), win(0x0D, 0x1C)}, Recording::Off, u"[LCTRL]c[TAB]"},
        {Recording::Keys,
         {win(0x1B, 0x01), win(0x0D, 0x1C)},
         Recording::Keys,
         u"[LCTRL]c[TAB][ESC][ENTER]"},
        {Recording::Keys,
         {win(0x74, 0x3F), win(0x75, 0x40)},
         Recording::Off,
         u"[LCTRL]c[TAB][ESC][ENTER][F5][F6]"},  // the sixth key ends it
        {Recording::NextKey,
         {win(0x74, 0x3F)},
         Recording::Off,
         u"[LCTRL]c[TAB][ESC][ENTER][F5][F6]"},  // and it does not start again
    };
    for (const auto& [start, steps, after, text] : cases) {
        if (start != e.state().recording) e.startRecording(start);
        for (const Step& s : steps)
            press(s);
        keyboard.releaseAll();
        EXPECT_EQ(std::tuple(e.state().recording, e.state().sendText), std::tuple(after, text))
            << static_cast<int>(start) << " " << steps.size();
    }
    e.startRecording(Recording::Keys);
    EXPECT_EQ(e.state().recording, Recording::Off) << "six keys: nothing more goes in";
    e.clear();
    e.setMacroChecked(true);
    e.startRecording(Recording::Keys);
    EXPECT_EQ(e.state().recording, Recording::Off) << "a macro is chosen: no keys go in";
}

TEST_F(SendString, sendTextNeverOutgrowsItsFieldAKeyThatWouldNotFitIsRefused) {
    SendStringEditor& e = open(EditMode::Button, 0);
    e.sendTextEdited(std::u16string(125, u'x'));
    EXPECT_EQ(outcome(press(win(0x74, 0x3F))), kRefused);  // "[F5]" needs 4
    for (const auto& [key, typed] : {std::pair('A', u'a'), {'B', u'b'}, {'C', u'c'}})
        press(win(key, 0, typed));
    EXPECT_EQ(press(win('D', 0, u'd')).disposition, KeyDisposition::Swallowed);
    EXPECT_EQ(std::tuple(e.state().sendText.size(), e.state().keyCount), std::tuple(128u, 3u));
    e.sendTextEdited(std::u16string(200, u'y'));  // a paste
    EXPECT_EQ(e.state().sendText.size(), 128u);
}

TEST_F(SendString, prevAndNextStoreEachEntryTheyLeaveAndStopAtTheLastOccupiedSlot) {
    SendStringEditor& e = open(EditMode::Button, 0);
    EXPECT_EQ(at(e.state()), std::tuple(0u, false, true));
    e.commentEdited(u"power");
    e.next();
    e.next();
    EXPECT_EQ(std::tuple(model.buttons()[0].text.comment, at(e.state())),
              std::tuple(u"power", std::tuple(2u, true, false)));
    e.next();  // disabled
    e.prev();
    EXPECT_EQ(e.state().entryIndex, 1u);

    RemoteModel full = modelWithButtons(128);
    const SendStringEditor last(full, host, EditMode::Button, 127);
    EXPECT_EQ(std::tuple(last.state().prevEnabled, last.state().nextEnabled),
              std::tuple(true, false));
}

TEST_F(SendString, choosingAMacroStoresAReferenceAndLoadingOneShowsIt) {
    test::rewrite(model, [](RemoteTables& t) {
        for (std::size_t m = 0; m < 3; ++m)
            t.macros[m] = macroNamed({u'M', static_cast<char16_t>(u'0' + m)});
    });
    SendStringEditor& e = open(EditMode::Button, 0);
    const SendStringState& s = e.state();
    press(win('A', 0, u'a'));
    e.setMacroChecked(true);
    EXPECT_EQ(std::tuple(s.comboEnabled, s.sendText), std::tuple(true, u""));
    EXPECT_EQ(press(win('B', 0)).disposition, KeyDisposition::Swallowed);
    e.chooseComboPosition(2);
    e.next();
    EXPECT_EQ(std::tuple(model.buttons()[0].code.keys[0], model.buttons()[0].code.keys[1],
                         model.buttons()[0].text.sendText),
              std::tuple(kMacroMarker, 2, u"[M M2]"));

    // Entry 1 is not a reference: no macro is selected, so "Macro" alone stores no reference.
    EXPECT_EQ(std::tuple(s.selectedMacro, s.macroChecked), std::tuple(std::nullopt, false));
    press(win('C', 0, u'c'));
    e.setMacroChecked(true);
    e.prev();
    EXPECT_EQ(std::tuple(model.buttons()[1].code.keys, model.buttons()[1].text),
              std::tuple(KeyCodeList{}, ButtonText{}));

    // Back on entry 0 the reference is loaded; a modifier box takes the entry back to keys.
    EXPECT_EQ(std::tuple(s.macroChecked, s.comboEnabled, s.comboSelection, s.selectedMacro),
              std::tuple(true, true, 2u, 2u));
    e.setModifierBox(ModifierBox::RWin, true);
    EXPECT_EQ(std::tuple(s.macroChecked, s.comboEnabled), std::tuple(false, false));
}

TEST_F(SendString, newMacroRegistersTheFirstFreeSlotAndIsOfferedOnlyWhileOneIsFree) {
    test::rewrite(model, [](RemoteTables& t) {
        for (std::size_t m = 0; m < 9; ++m)
            t.macros[m] = macroNamed({u'M', static_cast<char16_t>(u'0' + m)});
    });
    SendStringEditor& e = open(EditMode::Button, 0);
    const SendStringState& s = e.state();
    e.setMacroChecked(true);
    e.chooseComboPosition(0);
    e.chooseComboPosition(9);  // "New Macro", cancelled
    EXPECT_EQ(std::tuple(s.sendText, s.comboSelection, s.comboEnabled),
              std::tuple(u"[M M0]", 0u, true));

    // The dialog is closed leaving `registered` in the slot: first a name without a command.
    MacroRecord registered{0, 0, 500, {}, u"named only"};
    host.registration = [&](std::size_t slot) {
        test::rewrite(model, [&](RemoteTables& t) { t.macros[slot] = registered; });
        return MacroDialogResult::Closed;
    };
    e.chooseComboPosition(9);
    EXPECT_EQ(std::tuple(s.comboSelection, s.comboEnabled, s.macroChecked, s.comboEntries.size()),
              std::tuple(std::nullopt, false, false, 9u));

    registered = macroNamed(u"Tenth");
    e.setMacroChecked(true);
    e.chooseComboPosition(9);
    // Ten macros: no slot left, and where "New Macro" was there is nothing.
    e.chooseComboPosition(10);
    EXPECT_EQ(std::tuple(s.selectedMacro, s.comboSelection, s.comboEntries.back().name, s.sendText,
                         s.comboOffersNewMacro),
              std::tuple(9u, 9u, u"Tenth", u"[M Tenth]", false));
    EXPECT_THAT(host.registrations, ElementsAre(9u, 9u, 9u));
}

TEST_F(SendString, editingAMacroOfThreeCommandsStepsUpToItsFirstEmptyCommand) {
    SendStringEditor& e = open(EditMode::EditCommand, 0);
    const SendStringState& s = e.state();
    EXPECT_EQ(std::tuple(s.macroBoxEnabled, s.sendText), std::tuple(false, u"cmd0"));
    for (int c = 0; c < 4; ++c)
        e.next();
    EXPECT_EQ(std::tuple(s.entryIndex, s.nextEnabled, s.sendText), std::tuple(3u, false, u""));

    // The fourth command is typed and kept; Next then reaches the fifth.
    press(win(0x0D, 0x1C));
    e.close();
    const MacroCommand& fourth = model.macros()[0].commands[3];
    EXPECT_EQ(
        std::tuple(fourth.sendText, fourth.keys[0], model.macroCommandCount(0), model.modified()),
        std::tuple(u"[ENTER]", 0x28, 4u, true));
    EXPECT_TRUE(open(EditMode::EditCommand, 3).state().nextEnabled);
}

TEST_F(SendString, aNewCommandIsKeptOnlyWithTextAndNextStepsOnOnlyWhileItHasSome) {
    const MacroRecord before = model.macros()[0];
    SendStringEditor& empty = open(EditMode::NewCommand, 3);
    EXPECT_EQ(at(empty.state()), std::tuple(3u, true, false));
    empty.commentEdited(u"a comment alone");
    empty.close();
    EXPECT_EQ(std::tuple(model.macros()[0], model.modified()), std::tuple(before, false));

    SendStringEditor& e = open(EditMode::NewCommand, 3);
    press(win('X', 0, u'x'));
    e.clear();
    EXPECT_FALSE(e.state().nextEnabled);
    press(win('Y', 0, u'y'));
    e.setModifierBox(ModifierBox::RShift, true);
    e.next();
    EXPECT_EQ(
        std::tuple(model.macros()[0].commands[3].keys[0], model.macros()[0].commands[3].sendText,
                   e.state().entryIndex, e.state().nextEnabled),
        std::tuple(0x201C, u"y", 4u, false));
    // A text emptied in the box may not step on: the commands must stay contiguous.
    press(win('Z', 0, u'z'));
    e.sendTextEdited(u"");
    EXPECT_FALSE(e.state().nextEnabled);

    // A command of a free macro slot starts empty and puts the macro in use.
    test::rewrite(model, [](RemoteTables& t) { t.macros[1].commands[0].sendText = u"stale"; });
    SendStringEditor& fresh = open(EditMode::NewCommand, 0, 1);
    EXPECT_EQ(fresh.state().sendText, u"");
    press(win(0x70, 0x3B));
    fresh.close();
    EXPECT_EQ(std::tuple(model.macros()[1].used, model.macros()[1].commands[0].sendText),
              std::tuple(1, u"[F1]"));
}

}  // namespace
}  // namespace tessik
