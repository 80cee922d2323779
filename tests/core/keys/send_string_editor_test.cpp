#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "core/keys/keyboard_state.hpp"
#include "core/keys/native_keys.hpp"
#include "core/keys/send_string_editor.hpp"
#include "support/model_builders.hpp"

namespace tessik {
namespace {

using test::macroNamed;
using test::modelWithButtons;
using test::referToMacro;
using ::testing::ElementsAre;

struct FakeHost : SendStringHost {
    std::vector<std::size_t> buttonRefreshes;
    std::vector<std::size_t> commandRefreshes;
    std::vector<std::size_t> registrations;
    std::function<MacroDialogResult(std::size_t)> registration = [](std::size_t) {
        return MacroDialogResult::Cancelled;
    };

    void refreshButtonList(std::size_t row) override { buttonRefreshes.push_back(row); }
    void refreshMacroCommands(std::size_t macro) override { commandRefreshes.push_back(macro); }
    MacroDialogResult registerMacro(std::size_t slot) override {
        registrations.push_back(slot);
        return registration(slot);
    }
};

// Plays the part of the dialog: keeps the keyboard state from every event and lets the text
// box type the character of a key left to it.
struct Dialog {
    explicit Dialog(SendStringEditor& e) : editor(e) {}
    SendStringEditor& editor;
    KeyboardState keyboard;

    // Windows: the generic virtual key is captured; the scan code tells the state its side.
    KeyResult pressWindows(std::uint32_t vk, std::uint32_t scan, char16_t typed = 0) {
        const NativeKey k = nativeKeyFromWindows(vk, scan);
        keyboard.keyDown(k.state);
        return deliver(editor.keyDown(k.capture, keyboard.snapshot()), typed);
    }
    void releaseWindows(std::uint32_t vk, std::uint32_t scan) {
        keyboard.keyUp(nativeKeyFromWindows(vk, scan).state);
    }
    KeyResult pressXkb(std::uint32_t keycode, std::uint32_t keysym, char16_t typed = 0) {
        const NativeKey k = nativeKeyFromXkb(keycode, keysym);
        keyboard.keyDown(k.state);
        return deliver(editor.keyDown(k.capture, keyboard.snapshot()), typed);
    }
    KeyResult deliver(KeyResult r, char16_t typed) {
        if (r.disposition == KeyDisposition::LeftToTextBox && typed != 0) {
            editor.sendTextEdited(editor.state().sendText + typed);
        }
        return r;
    }
};

constexpr std::uint32_t kLShiftScan = 0x2A, kLCtrlScan = 0x1D, kLAltScan = 0x38;

class ButtonEditor : public ::testing::Test {
  protected:
    RemoteModel model = modelWithButtons(3);
    FakeHost host;
    void SetUp() override {
        for (auto& b : model.buttons)
            b.text = {};
        for (auto& b : model.buttons)
            b.code.keys = {};
        model.modified = false;
    }
};

TEST_F(ButtonEditor, ctrlShiftAltHeldThenF5ShowsFourNamesAndStoresOneWord) {
    SendStringEditor e(model, host, EditMode::Button, 0);
    Dialog d{e};
    EXPECT_EQ(d.pressWindows(0x11, kLCtrlScan).disposition, KeyDisposition::Swallowed);
    EXPECT_EQ(e.state().sendText, u"[LCTRL]");
    d.pressWindows(0x10, kLShiftScan);
    EXPECT_EQ(e.state().sendText, u"[LCTRL][LSHIFT]");
    d.pressWindows(0x12, kLAltScan);  // resolves to the first modifier down: left Shift
    EXPECT_EQ(e.state().sendText, u"[LCTRL][LSHIFT][LSHIFT]");
    EXPECT_EQ(e.state().keyCount, 0u);
    const KeyResult f5 = d.pressWindows(0x74, 0x3F);
    EXPECT_EQ(f5.disposition, KeyDisposition::Swallowed);
    EXPECT_TRUE(f5.captured);
    EXPECT_EQ(e.state().sendText, u"[LCTRL][LSHIFT][LSHIFT][F5]");
    EXPECT_EQ(e.state().keyCount, 1u);
    // F5 is usage 0x3E (F1 0x3A + 4) with the left Ctrl, Shift and Alt bits. The 0x45 of
    // 0x0745 is F12's usage: the same hold with F12 gives that word.
    EXPECT_EQ(e.state().keys[0], 0x073E);

    e.close();
    EXPECT_EQ(model.buttons[0].code.keys, (KeyCodeList{0x073E, 0, 0, 0, 0, 0}));
    EXPECT_EQ(model.buttons[0].text.keyCount, 1);
    EXPECT_TRUE(model.modified);
    EXPECT_THAT(host.buttonRefreshes, ElementsAre(0u));
}

TEST_F(ButtonEditor, onLinuxTheModifiersAreToldApartAndTheWordIsTheSame) {
    SendStringEditor e(model, host, EditMode::Button, 0);
    Dialog d{e};
    d.pressXkb(37, 0xFFE3);
    d.pressXkb(50, 0xFFE1);
    d.pressXkb(64, 0xFFE7);  // Alt with Shift held reports Meta_L
    d.pressXkb(71, 0xFFC2);
    EXPECT_EQ(e.state().sendText, u"[LCTRL][LSHIFT][LALT][F5]");
    EXPECT_EQ(e.state().keys[0], 0x073E);
    d.pressXkb(96, 0xFFC9);
    EXPECT_EQ(e.state().keys[1], 0x0745) << "F12";

    // Right Alt (AltGr) with a letter carries bit 14.
    e.clear();
    d.keyboard.releaseAll();
    d.pressXkb(108, 0xFE03);
    EXPECT_EQ(e.state().sendText, u"[RALT]");
    EXPECT_EQ(d.pressXkb(24, '@', u'@').disposition, KeyDisposition::LeftToTextBox);
    EXPECT_EQ(e.state().keys[0], 0x4014);
    EXPECT_TRUE(e.state().modifierBoxes[static_cast<std::size_t>(ModifierBox::RAlt)]);
}

TEST_F(ButtonEditor, leftShiftAThenBTypesTheLettersAndChecksTheBox) {
    SendStringEditor e(model, host, EditMode::Button, 1);
    Dialog d{e};
    d.pressWindows(0x10, kLShiftScan);
    EXPECT_EQ(e.state().sendText, u"[LSHIFT]");
    const KeyResult a = d.pressWindows('A', 0x1E, u'A');
    EXPECT_EQ(a.disposition, KeyDisposition::LeftToTextBox);
    EXPECT_TRUE(a.captured);
    d.releaseWindows(0x10, kLShiftScan);
    d.pressWindows('B', 0x30, u'b');
    EXPECT_EQ(e.state().sendText, u"[LSHIFT]Ab");
    EXPECT_EQ(e.state().keyCount, 2u);
    EXPECT_TRUE(e.state().modifierBoxes[static_cast<std::size_t>(ModifierBox::LShift)]);

    e.close();
    EXPECT_EQ(model.buttons[1].code.keys, (KeyCodeList{0x0204, 0x0005, 0, 0, 0, 0}));
    EXPECT_EQ(model.buttons[1].text.sendText, u"[LSHIFT]Ab");
    EXPECT_EQ(model.buttons[1].text.keyCount, 2);
}

TEST_F(ButtonEditor, checkedBoxAppliesToTheFirstKeyAndLookalikeKeysKeepTheirUsages) {
    SendStringEditor e(model, host, EditMode::Button, 0);
    Dialog d{e};
    e.setModifierBox(ModifierBox::LCtrl, true);
    d.pressWindows('C', 0x2E, u'c');
    EXPECT_EQ(e.state().keys[0], 0x0006);
    EXPECT_EQ(e.state().sendText, u"c");
    d.pressWindows(0x6D, 0x4A);  // keypad minus
    d.pressWindows(0xBD, 0x0C);  // main minus
    d.pressWindows(0x1C, 0x79);  // henkan
    d.pressWindows(0x1D, 0x7B);  // muhenkan
    EXPECT_EQ(e.state().sendText, u"c[-][-][HEN][MUHEN]");
    e.close();
    EXPECT_EQ(model.buttons[0].code.keys, (KeyCodeList{0x0106, 0x56, 0x2D, 0x8B, 0x8A, 0}));
}

TEST_F(ButtonEditor, afterSixKeysEveryKeyIsSwallowedAndModifiersNeverCount) {
    SendStringEditor e(model, host, EditMode::Button, 0);
    Dialog d{e};
    for (int i = 0; i < 10; ++i) {
        d.pressWindows(0x10, kLShiftScan);  // key repeat of a held Shift
    }
    d.releaseWindows(0x10, kLShiftScan);
    EXPECT_EQ(e.state().keyCount, 0u);
    for (char16_t c = u'a'; c < u'g'; ++c)
        d.pressWindows('A' + (c - u'a'), 0, c);
    EXPECT_EQ(e.state().keyCount, 6u);
    const SendStringState before = e.state();
    for (std::uint32_t key : {0x47u, 0x0Du, 0x10u, 0xA6u}) {  // letter, named, modifier, unknown
        const KeyResult r = d.pressWindows(key, 0);
        EXPECT_EQ(r.disposition, KeyDisposition::Swallowed) << key;
        EXPECT_FALSE(r.captured);
    }
    EXPECT_EQ(e.state().keys, before.keys);
    EXPECT_EQ(
        e.state().sendText,
        u"[LSHIFT][LSHIFT][LSHIFT][LSHIFT][LSHIFT][LSHIFT][LSHIFT][LSHIFT][LSHIFT][LSHIFT]abcdef");
}

TEST_F(ButtonEditor, unknownKeysAndUnresolvedInputMethodKeysGoToTheTextBox) {
    SendStringEditor e(model, host, EditMode::Button, 0);
    const KeyboardSnapshot none{};
    EXPECT_EQ(e.keyDown(0xA6, none).disposition, KeyDisposition::LeftToTextBox);  // browser back
    EXPECT_EQ(e.keyDown(0x10, none).disposition, KeyDisposition::LeftToTextBox);  // no side down
    EXPECT_EQ(e.keyDown(vk::ProcessKey, none).disposition, KeyDisposition::LeftToTextBox);
    EXPECT_EQ(e.state().keyCount, 0u);
    // The input method reports the key it took: captured as that key.
    const KeyResult r = e.keyDown(vk::ProcessKey, none, VirtualKey{0x1C});
    EXPECT_TRUE(r.captured);
    EXPECT_EQ(e.state().keys[0], 0x8B);
}

TEST_F(ButtonEditor, sendTextNeverOutgrowsItsFieldAKeyThatWouldNotFitIsRefused) {
    SendStringEditor e(model, host, EditMode::Button, 0);
    Dialog d{e};
    e.sendTextEdited(std::u16string(125, u'x'));
    const KeyResult f5 = d.pressWindows(0x74, 0x3F);  // "[F5]" needs 4
    EXPECT_EQ(f5.disposition, KeyDisposition::Swallowed);
    EXPECT_FALSE(f5.captured);
    EXPECT_EQ(e.state().keyCount, 0u);
    d.pressWindows(0x20, 0x39);  // "[SPACE]" needs 7
    EXPECT_EQ(e.state().keyCount, 0u);
    d.pressWindows('A', 0x1E, u'a');
    d.pressWindows('B', 0x30, u'b');
    d.pressWindows('C', 0x2E, u'c');
    EXPECT_EQ(e.state().sendText.size(), 128u);
    EXPECT_EQ(d.pressWindows('D', 0x20, u'd').disposition, KeyDisposition::Swallowed);
    EXPECT_EQ(e.state().keyCount, 3u);
    e.sendTextEdited(std::u16string(200, u'y'));  // a paste
    EXPECT_EQ(e.state().sendText.size(), 128u);
    e.close();
    EXPECT_EQ(model.buttons[0].text.sendText.size(), 128u);
}

TEST_F(ButtonEditor, clearThenCloseStoresAnEmptyEntry) {
    model.buttons[1].code.keys = {0x0204, 5, 0, 0, 0, 0};
    model.buttons[1].text = {2, u"[LSHIFT]Ab", u"vol"};
    SendStringEditor e(model, host, EditMode::Button, 1);
    EXPECT_EQ(e.state().sendText, u"[LSHIFT]Ab");
    EXPECT_EQ(e.state().keyCount, 2u);
    EXPECT_TRUE(e.state().modifierBoxes[static_cast<std::size_t>(ModifierBox::LShift)]);
    e.clear();
    EXPECT_EQ(e.state().modifierBoxes, ModifierBoxes{});
    e.close();
    EXPECT_EQ(model.buttons[1].code.keys, KeyCodeList{});
    EXPECT_EQ(model.buttons[1].text, (ButtonText{0, u"", u"vol"}));
}

TEST_F(ButtonEditor, prevAndNextStoreEachEntryTheyLeave) {
    SendStringEditor e(model, host, EditMode::Button, 0);
    EXPECT_FALSE(e.state().prevEnabled);
    EXPECT_TRUE(e.state().nextEnabled);
    e.commentEdited(u"power");
    e.next();
    EXPECT_EQ(model.buttons[0].text.comment, u"power");
    EXPECT_EQ(e.state().entryIndex, 1u);
    EXPECT_TRUE(e.state().prevEnabled);
    EXPECT_TRUE(e.state().nextEnabled);
    e.next();
    EXPECT_EQ(e.state().entryIndex, 2u);
    EXPECT_FALSE(e.state().nextEnabled) << "last occupied slot";
    e.next();  // disabled: nothing happens
    EXPECT_EQ(e.state().entryIndex, 2u);
    e.prev();
    EXPECT_EQ(e.state().entryIndex, 1u);
    EXPECT_THAT(host.buttonRefreshes, ElementsAre(0u, 1u, 2u));

    RemoteModel full = modelWithButtons(128);
    SendStringEditor last(full, host, EditMode::Button, 127);
    EXPECT_FALSE(last.state().nextEnabled);
    EXPECT_TRUE(last.state().prevEnabled);
    SendStringEditor before(full, host, EditMode::Button, 126);
    EXPECT_TRUE(before.state().nextEnabled);
}

TEST_F(ButtonEditor, choosingAMacroStoresAReferenceAndLoadingOneShowsIt) {
    for (std::size_t m = 0; m < 3; ++m)
        model.macros[m] = macroNamed(u"M" + std::u16string(1, u'0' + m));
    SendStringEditor e(model, host, EditMode::Button, 0);
    EXPECT_TRUE(e.state().macroBoxEnabled);
    EXPECT_FALSE(e.state().comboEnabled);
    ASSERT_EQ(e.state().comboEntries.size(), 3u);
    EXPECT_TRUE(e.state().comboOffersNewMacro);
    Dialog d{e};
    d.pressWindows('A', 0, u'a');
    e.setMacroChecked(true);
    EXPECT_TRUE(e.state().comboEnabled);
    EXPECT_EQ(e.state().sendText, u"");
    EXPECT_EQ(d.pressWindows('B', 0).disposition, KeyDisposition::Swallowed);
    e.chooseComboPosition(2);
    EXPECT_EQ(e.state().sendText, u"[M M2]");
    e.next();
    EXPECT_EQ(model.buttons[0].code.keys[0], kMacroMarker);
    EXPECT_EQ(model.buttons[0].code.keys[1], 2);
    EXPECT_EQ(model.buttons[0].text.sendText, u"[M M2]");

    // Entry 1 is not a reference: no macro is selected, so "Macro" alone stores no reference.
    EXPECT_FALSE(e.state().selectedMacro);
    EXPECT_FALSE(e.state().macroChecked);
    d.pressWindows('C', 0, u'c');
    e.setMacroChecked(true);
    e.prev();
    EXPECT_EQ(model.buttons[1].code.keys, KeyCodeList{});
    EXPECT_EQ(model.buttons[1].text.keyCount, 0);
    EXPECT_EQ(model.buttons[1].text.sendText, u"");

    // Back on entry 0 the reference is loaded: "Macro" checked, combo on macro 2.
    EXPECT_TRUE(e.state().macroChecked);
    EXPECT_TRUE(e.state().comboEnabled);
    EXPECT_EQ(e.state().comboSelection, 2u);
    EXPECT_EQ(e.state().selectedMacro, 2u);
    // A modifier box takes the entry back to keys.
    e.setModifierBox(ModifierBox::RWin, true);
    EXPECT_FALSE(e.state().macroChecked);
    EXPECT_FALSE(e.state().comboEnabled);
}

TEST_F(ButtonEditor, newMacroRegistersTheFirstFreeSlotAndIsOfferedOnlyWhileOneIsFree) {
    for (std::size_t m = 0; m < 9; ++m)
        model.macros[m] = macroNamed(u"M");
    host.registration = [this](std::size_t slot) {
        model.macros[slot] = macroNamed(u"Tenth");
        return MacroDialogResult::Closed;
    };
    SendStringEditor e(model, host, EditMode::Button, 0);
    e.setMacroChecked(true);
    ASSERT_TRUE(e.state().comboOffersNewMacro);
    e.chooseComboPosition(9);
    EXPECT_THAT(host.registrations, ElementsAre(9u));
    EXPECT_EQ(e.state().selectedMacro, 9u);
    EXPECT_EQ(e.state().comboSelection, 9u);
    EXPECT_EQ(e.state().comboEntries.back().name, u"Tenth");
    EXPECT_EQ(e.state().sendText, u"[M Tenth]");
    EXPECT_FALSE(e.state().comboOffersNewMacro) << "ten macros: no slot left";
    e.chooseComboPosition(10);  // where "New Macro" was: nothing
    EXPECT_EQ(host.registrations.size(), 1u);
    EXPECT_EQ(e.state().selectedMacro, 9u);
}

TEST_F(ButtonEditor, newMacroLeftUnusedOrCancelled) {
    model.macros[0] = macroNamed(u"Movie");
    SendStringEditor e(model, host, EditMode::Button, 0);
    e.setMacroChecked(true);
    e.chooseComboPosition(0);

    host.registration = [](std::size_t) { return MacroDialogResult::Cancelled; };
    e.chooseComboPosition(1);
    EXPECT_EQ(e.state().sendText, u"[M Movie]");
    EXPECT_EQ(e.state().comboSelection, 0u);
    EXPECT_TRUE(e.state().comboEnabled);

    host.registration = [this](std::size_t slot) {
        model.macros[slot].name = u"named only";  // closed without a command
        return MacroDialogResult::Closed;
    };
    e.chooseComboPosition(1);
    EXPECT_THAT(host.registrations, ElementsAre(1u, 1u));
    EXPECT_FALSE(e.state().comboSelection);
    EXPECT_FALSE(e.state().comboEnabled);
    EXPECT_FALSE(e.state().macroChecked);
    EXPECT_EQ(e.state().comboEntries.size(), 1u);
}

class CommandEditor : public ::testing::Test {
  protected:
    RemoteModel model;
    FakeHost host;
    void SetUp() override {
        model.macros[0] = macroNamed(u"Three", 3);
        model.modified = false;
    }
};

TEST_F(CommandEditor, editingAMacroOfThreeCommandsStepsUpToItsFirstEmptyCommand) {
    SendStringEditor e(model, host, EditMode::EditCommand, 0, 0);
    EXPECT_FALSE(e.state().macroBoxEnabled);
    EXPECT_FALSE(e.state().comboEnabled);
    EXPECT_EQ(e.state().sendText, u"cmd0");
    for (std::size_t c = 0; c < 3; ++c) {
        EXPECT_EQ(e.state().entryIndex, c);
        EXPECT_TRUE(e.state().nextEnabled) << c;
        EXPECT_EQ(e.state().prevEnabled, c != 0);
        e.next();
    }
    EXPECT_EQ(e.state().entryIndex, 3u);
    EXPECT_FALSE(e.state().nextEnabled);
    EXPECT_EQ(e.state().sendText, u"");
    EXPECT_THAT(host.commandRefreshes, ElementsAre(0u, 0u, 0u));
    EXPECT_TRUE(host.buttonRefreshes.empty());

    // The fourth command is typed and kept; Next then reaches the fifth.
    Dialog d{e};
    d.pressWindows(0x0D, 0x1C);
    e.close();
    EXPECT_EQ(model.macros[0].commands[3].sendText, u"[ENTER]");
    EXPECT_EQ(model.macros[0].commands[3].keys[0], 0x28);
    EXPECT_EQ(model.macroCommandCount(0), 4u);
    EXPECT_TRUE(model.modified);

    SendStringEditor again(model, host, EditMode::EditCommand, 3, 0);
    EXPECT_TRUE(again.state().nextEnabled);
}

TEST_F(CommandEditor, aNewCommandWithoutTextIsNotKept) {
    const MacroRecord before = model.macros[0];
    SendStringEditor e(model, host, EditMode::NewCommand, 3, 0);
    EXPECT_FALSE(e.state().nextEnabled);
    EXPECT_TRUE(e.state().prevEnabled);
    e.commentEdited(u"a comment alone");
    e.close();
    EXPECT_EQ(model.macros[0], before);
    EXPECT_FALSE(model.modified);
}

TEST_F(CommandEditor, newCommandsEnableNextOnTheFirstKeyAndChainThroughNext) {
    SendStringEditor e(model, host, EditMode::NewCommand, 3, 0);
    Dialog d{e};
    d.pressWindows('X', 0x2D, u'x');
    EXPECT_TRUE(e.state().nextEnabled);
    e.clear();
    EXPECT_FALSE(e.state().nextEnabled);
    d.pressWindows('Y', 0x15, u'y');
    e.setModifierBox(ModifierBox::RShift, true);
    e.next();
    EXPECT_EQ(model.macros[0].commands[3].keys[0], 0x201C);
    EXPECT_EQ(model.macros[0].commands[3].sendText, u"y");
    EXPECT_EQ(e.state().entryIndex, 4u);
    EXPECT_FALSE(e.state().nextEnabled);

    // A text emptied in the box may not step on: the commands must stay contiguous.
    d.pressWindows('Z', 0x2C, u'z');
    EXPECT_TRUE(e.state().nextEnabled);
    e.sendTextEdited(u"");
    EXPECT_FALSE(e.state().nextEnabled);

    SendStringEditor at7(model, host, EditMode::NewCommand, 7, 0);
    Dialog d7{at7};
    d7.pressWindows('Q', 0x10, u'q');
    EXPECT_FALSE(at7.state().nextEnabled) << "no command after the eighth";
}

TEST_F(CommandEditor, aCommandOfAFreeSlotStartsEmptyAndPutsTheMacroInUse) {
    model.macros[1].commands[0].sendText = u"stale";
    SendStringEditor e(model, host, EditMode::NewCommand, 0, 1);
    EXPECT_EQ(e.state().sendText, u"");
    EXPECT_FALSE(e.state().prevEnabled);
    Dialog d{e};
    d.pressWindows(0x70, 0x3B);
    e.close();
    EXPECT_EQ(model.macros[1].used, 1);
    EXPECT_EQ(model.macros[1].commands[0].sendText, u"[F1]");
    EXPECT_THAT(host.commandRefreshes, ElementsAre(1u));
}

}  // namespace
}  // namespace tessik
