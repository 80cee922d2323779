// From teaching to typing: the 24 buttons of a television remote are captured through the
// capture session, given keys and a macro, written into the receiver with Set Up Data, and
// pressed again; the receiver types exactly what was assigned.

#include <gtest/gtest.h>

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

// The keys a list types, one after the other at the receiver's pace from `at`.
std::vector<TypedKey> tapped(const std::vector<KeyCode>& words, std::uint32_t at) {
    std::vector<TypedKey> keys;
    for (const KeyCode w : words) {
        const auto usage = static_cast<std::uint8_t>(w & 0xFF);
        const auto mods = static_cast<std::uint8_t>(w >> 8);
        keys.push_back({usage, mods, true, at});
        keys.push_back({usage, mods, false, at + sim::kKeyReportIntervalMs});
        at += 2 * sim::kKeyReportIntervalMs;
    }
    return keys;
}

struct EndToEnd : CaptureFixture {
    std::size_t slotOf(std::string_view button) const {
        for (std::size_t s = 0; s < kButtonSlots; ++s) {
            if (model.buttons[s].text.comment == std::u16string(button.begin(), button.end())) {
                return s;
            }
        }
        ADD_FAILURE() << "not taught: " << button;
        return 0;
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

TEST_F(EndToEnd, everyTaughtButtonTypesExactlyItsKeysAndOtherRemotesTypeNothing) {
    const sim::VirtualRemote& tv = sim::necTvRemote();
    std::uint32_t seed = 1;
    for (const sim::RemoteButton& b : tv.buttons) {
        press(tv, b.name, sim::TimingNoise{3.0, seed++});
        press(tv, b.name, sim::TimingNoise{3.0, seed++});
        ASSERT_EQ(session.state(), CaptureState::Confirmed) << b.name;
        view.type(std::u16string(b.name.begin(), b.name.end()));
        session.next();
    }
    session.close();
    ASSERT_EQ(model.occupiedCount(), tv.buttons.size());
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_FALSE(receiver.captureMode());

    // The digits type themselves; arrows, Shift+A and Enter F5 through the editor; Menu runs a
    // macro; the other buttons keep no keys.
    std::map<std::string_view, std::vector<KeyCode>> assigned{
        {"Up", {0x52}},    {"Down", {0x51}},   {"Left", {0x50}},
        {"Right", {0x4F}}, {"Vol+", {0x0204}}, {"OK", {0x28, 0x3E}}};
    const char* digits[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"};
    for (std::uint16_t d = 0; d < 10; ++d) {
        model.buttons[slotOf(digits[d])].code.keys[0] = static_cast<KeyCode>(0x1E + d);
        assigned[digits[d]] = {static_cast<KeyCode>(0x1E + d)};
    }
    edit("Up", {0x26});
    edit("Down", {0x28});
    edit("Left", {0x25});
    edit("Right", {0x27});
    edit("Vol+", {vk::LeftShift, 0x41});
    edit("OK", {0x0D, 0x74});

    MacroRecord& movie = model.macros[0];
    movie.used = 1;
    movie.name = u"Movie";
    movie.interval = 300;
    movie.commands[0] = {1, {0x0104, 0, 0, 0, 0, 0}, u"[LCTRL]a", u""};
    movie.commands[1] = {2, {0x0028, 0x002C, 0, 0, 0, 0}, u"[ENTER][SPACE]", u""};
    edit("Menu", {}, 0);
    ASSERT_EQ(model.buttons[slotOf("Menu")].code.keys[0], kMacroMarker);

    ASSERT_EQ(runSetUpData(commands, model, notifier, Language::English).outcome,
              SetUpOutcome::Succeeded);

    for (const sim::RemoteButton& b : tv.buttons) {
        clock.advance(2000);
        const std::uint32_t at = clock.now();
        const sim::PressResult r = reception.press(tv, b.name, sim::TimingNoise{3.0, seed++});
        ASSERT_EQ(r.heard, sim::Heard::Typed) << b.name;
        EXPECT_EQ(r.slot, slotOf(b.name));
        std::vector<TypedKey> expected = tapped(assigned[b.name], at);
        if (b.name == "Menu") {
            expected = tapped({0x0104}, at);
            const auto second = tapped({0x0028, 0x002C}, at + 10 + 300);
            expected.insert(expected.end(), second.begin(), second.end());
        }
        EXPECT_EQ(r.keys, expected) << b.name;
    }

    const std::size_t typedSoFar = reception.typed().size();
    for (const sim::VirtualRemote* other : {&sim::sircTvRemote(), &sim::aehaAudioRemote()}) {
        for (const sim::RemoteButton& b : other->buttons)
            EXPECT_EQ(reception.press(*other, b.name).heard, sim::Heard::NotRecognised) << b.name;
    }
    EXPECT_EQ(reception.typed().size(), typedSoFar);
}

}  // namespace
}  // namespace tessik::test
