// From teaching to typing: the 24 buttons of a television remote are captured through the
// capture session, given keys and a macro through the send-string editor, written into the
// receiver with Set Up Data, and pressed again; the receiver types exactly what was assigned.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "core/keys/keyboard_state.hpp"
#include "core/keys/send_string_editor.hpp"
#include "core/programming/set_up_data.hpp"
#include "support/capture_fixture.hpp"

namespace tessik::test {
namespace {

using sim::TypedKey;

struct NoWindows : SendStringHost {
    void refreshButtonList(std::size_t) override {}
    void refreshMacroCommands(std::size_t) override {}
    MacroDialogResult registerMacro(std::size_t) override { return MacroDialogResult::Cancelled; }
};

struct EndToEnd : CaptureFixture {
    // The buttons are taught in the remote's order, one slot each.
    static std::size_t slotOf(std::string_view button) {
        const auto& buttons = sim::necTvRemote().buttons;
        return static_cast<std::size_t>(
            std::find_if(buttons.begin(), buttons.end(),
                         [&](const sim::RemoteButton& b) { return b.name == button; }) -
            buttons.begin());
    }

    // The send-string editor on a button: the keys pressed, in order, with their keyboard state;
    // or, with `macro`, the macro reference chosen.
    void edit(std::string_view button, std::initializer_list<VirtualKey> keysDown,
              std::optional<std::size_t> macro = std::nullopt) {
        NoWindows host;
        SendStringEditor editor(model, host, EditMode::Button, slotOf(button));
        KeyboardState keyboard;
        for (const VirtualKey k : keysDown) {
            keyboard.keyDown(k);
            editor.keyDown(k, keyboard.snapshot());
        }
        if (macro) {
            editor.setMacroChecked(true);
            editor.chooseComboPosition(*macro);
        }
        editor.close();
    }
};

TEST_F(EndToEnd, everyTaughtButtonTypesExactlyItsKeys) {
    const sim::VirtualRemote& tv = sim::necTvRemote();
    std::uint32_t seed = 1;
    for (const sim::RemoteButton& b : tv.buttons) {
        press(tv, b.name, sim::TimingNoise{3.0, seed++});
        press(tv, b.name, sim::TimingNoise{3.0, seed++});
        ASSERT_EQ(session.state(), CaptureState::Confirmed) << b.name;
        session.next();
    }
    session.close();
    ASSERT_EQ(model.occupiedCount(), tv.buttons.size());
    EXPECT_TRUE(notifier.messages.empty());

    edit("Vol+", {vk::LeftShift, 0x41});
    edit("OK", {0x0D, 0x74});
    model.macros[0] = {1, 0, 300, {}, u"Movie"};
    model.macros[0].commands[0] = {1, {0x0104, 0, 0, 0, 0, 0}, u"[LCTRL]a", u""};
    model.macros[0].commands[1] = {2, {0x0028, 0x002C, 0, 0, 0, 0}, u"[ENTER][SPACE]", u""};
    edit("Menu", {}, 0);
    ASSERT_EQ(runSetUpData(commands, model, notifier, Language::English).outcome,
              SetUpOutcome::Succeeded);

    // From the press: a key down, up one report (10 ms) later, the next key one report after
    // that; the macro's second command follows its first by the macro's 300 ms.
    std::map<std::string_view, std::vector<TypedKey>> typed{
        {"Vol+", {{0x04, 0x02, true, 0}, {0x04, 0x02, false, 10}}},
        {"OK",
         {{0x28, 0, true, 0}, {0x28, 0, false, 10}, {0x3E, 0, true, 20}, {0x3E, 0, false, 30}}},
        {"Menu",
         {{0x04, 0x01, true, 0},
          {0x04, 0x01, false, 10},
          {0x28, 0, true, 310},
          {0x28, 0, false, 320},
          {0x2C, 0, true, 330},
          {0x2C, 0, false, 340}}}};
    for (const sim::RemoteButton& b : tv.buttons) {
        clock.advance(2000);
        const std::uint32_t at = clock.now();
        sim::PressResult r = reception.press(tv, b.name, sim::TimingNoise{3.0, seed++});
        ASSERT_EQ(r.heard, sim::Heard::Typed) << b.name;
        EXPECT_EQ(r.slot, slotOf(b.name));
        for (TypedKey& k : r.keys)
            k.atMs -= at;
        EXPECT_EQ(r.keys, typed[b.name]) << b.name;
    }
}

}  // namespace
}  // namespace tessik::test
