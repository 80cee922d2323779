#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "core/keys/key_codes.hpp"
#include "core/keys/keyboard_state.hpp"
#include "core/keys/native_keys.hpp"
#include "core/model/remote_model.hpp"

namespace tessik {
namespace {

KeyboardSnapshot down(std::initializer_list<VirtualKey> keys) {
    KeyboardSnapshot s{};
    for (VirtualKey k : keys)
        s[k] = 0x80;
    return s;
}

TEST(ModifierBits, ofTheKeysDownInTheFixedResolutionOrderAndOfTheBoxes) {
    EXPECT_EQ(modifierBits(down({0xA3, 0xA1, 0xA5, 0x5B, 0x5C})),
              0x1000 | 0x2000 | 0x4000 | 0x0800 | 0x8000);
    EXPECT_EQ(modifierBits(down({0x10, 0x11, 0x12, 0x41})), 0);  // generic codes carry no side
    EXPECT_EQ(specificModifier(down({0x5C, 0xA5, 0xA3})), 0xA3);
    EXPECT_EQ(specificModifier(down({0xA2, 0xA0})), 0xA0);  // Shift before Ctrl
    EXPECT_EQ(specificModifier(down({0x5C, 0x5B})), 0x5B);
    // Each bit is one box, and back.
    EXPECT_EQ(modifierBoxBit(ModifierBox::RWin), 0x8000);
    for (unsigned bits = 0; bits < 256; ++bits) {
        const auto word = static_cast<KeyCode>(bits << 8);
        EXPECT_EQ(bitsFromBoxes(boxesFromBits(static_cast<KeyCode>(word | 0x2C))), word);
    }
}

TEST(KeyCodeText, macroReferencesAndReadableNamesForStoredWords) {
    const KeyCodeList ref = makeMacroReference(3);
    EXPECT_EQ(ref, (KeyCodeList{0x00FF, 3, 0, 0, 0, 0}));
    EXPECT_EQ(std::tuple(isMacroReference(ref), isMacroReference({0x01FF, 3, 0, 0, 0, 0}),
                         isMacroReference({0x02FF, 3, 0, 0, 0, 0})),
              std::tuple(true, false, false));

    // A name of 128 characters still gives a text that fits the field, bracket included,
    // and a surrogate pair is never cut in half.
    const std::u16string full = macroReferenceText(std::u16string(128, u'x'));
    EXPECT_EQ(std::tuple(full.size(), full.back()), std::tuple(128u, u']'));
    EXPECT_EQ(macroReferenceText(std::u16string(123, u'x') + u"\U0001F600\U0001F600"),
              u"[M " + std::u16string(123, u'x') + u"]");

    // The Shift key itself, keypad 1, and a usage the tables do not produce.
    const std::pair<KeyCode, const char*> words[] = {
        {0x0106, "[LCTRL]+C"}, {0x073E, "[LCTRL]+[LSHIFT]+[LALT]+[F5]"},
        {0x4014, "[RALT]+Q"},  {0x02E1, "[LSHIFT]"},
        {0x0059, "1"},         {0x0056, "[-]"},
        {0x0064, "0x64"}};
    for (const auto& [word, text] : words)
        EXPECT_EQ(keyCodeText(word), text) << word;
    EXPECT_EQ(keyCodeListText({0x0204, 0x0005, 0x0099, 0, 0, 0}, 2), "[LSHIFT]+A B");
    EXPECT_EQ(keyCodeListText({0x00FF, 2, 0, 0, 0, 0}, 0), "macro 3");
    EXPECT_EQ(keyCodeListText({0x0004, 0, 0, 0, 0, 0}, 0), "");
}

TEST(XkbKeys, keysFollowTheirPositionOrTheirMeaningAsTheKeyboardSays) {
    struct Case {
        std::uint32_t keycode, keysym;
        VirtualKey expected;
        const char* what;
    } cases[] = {
        {108, 0xFE03, 0xA5, "right Alt reported as ISO_Level3_Shift (de layout)"},
        {64, 0xFFE7, 0xA4, "left Alt with Shift held reports Meta_L"},
        {24, 'a', 'Q', "AZERTY: the key printed A sits where the usage of Q is"},
        {34, '[', 0xC0, "us bracketleft: the JIS @ position, usage 0x2F"},
        {87, 0xFF9C, 0x23, "keypad 1 without Num Lock is End"},
        {101, 0xFF24, 0xF2, "Hiragana_Katakana with Shift reports Romaji"},
        {250, 'q', 'Q', "unknown keycode: the keysym's letter"},
        {250, '7', '7', "unknown keycode: the keysym's digit"},
        {250, 0xFFE7, 0xA4, "unknown keycode: Meta_L is the left Alt"},
        {250, 0xFE03, 0xA5, "unknown keycode: AltGr is the right Alt"},
        {90, 0xFFB0, 0x60, "keypad 0 with Num Lock"},
        {76, 0xFFC7, 0x79, "F10"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(nativeKeyFromXkb(c.keycode, c.keysym).capture, c.expected) << c.what;

    // Keys the tables have no usage for come out as nothing or as a key without a row.
    EXPECT_EQ(nativeKeyFromXkb(94, '<').capture, 0) << "ISO key left of Z";
    EXPECT_EQ(nativeKeyFromXkb(180, 0x1008FF18).capture, 0) << "XF86HomePage";
    EXPECT_FALSE(findKeyUsage(nativeKeyFromXkb(84, 0xFF9D).capture)) << "keypad 5 without Num Lock";
    EXPECT_FALSE(findKeyUsage(nativeKeyFromXkb(127, 0xFF6B).capture)) << "Ctrl+Pause is Break";
}

TEST(WindowsKeys, virtualKeyPassesThroughAndTheScanCodeGivesTheStateItsSide) {
    struct Case {
        std::uint32_t vk, scan;
        VirtualKey capture, state;
    } cases[] = {
        {0x10, 0x2A, 0x10, 0xA0},  {0x10, 0x36, 0x10, 0xA1},  {0x11, 0x1D, 0x11, 0xA2},
        {0x11, 0x11D, 0x11, 0xA3}, {0x12, 0x38, 0x12, 0xA4},  {0x12, 0x138, 0x12, 0xA5},
        {0x41, 0x1E, 0x41, 0x41},  {0x5B, 0x15B, 0x5B, 0x5B}, {0xE5, 0x1E, 0xE5, 0xE5},
        {0x1C, 0x79, 0x1C, 0x1C},  {0x100, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const NativeKey k = nativeKeyFromWindows(c.vk, c.scan);
        EXPECT_EQ(std::tuple(k.capture, k.state), std::tuple(c.capture, c.state))
            << std::hex << c.vk << " " << c.scan;
    }
}

TEST(KeyboardState, followsDownAndUpWithTheGenericCodeHeldByEitherSide) {
    KeyboardState kb;
    kb.keyDown(0xA0);
    kb.keyDown(0xA1);
    kb.keyUp(0xA0);
    kb.keyDown(0);  // a key our layer could not name
    EXPECT_EQ(std::tuple(kb.snapshot()[0xA0], kb.snapshot()[0], kb.isDown(0x10)),
              std::tuple(0, 0, true))
        << "right Shift still holds it";
    kb.keyUp(0xA1);
    EXPECT_FALSE(kb.isDown(0x10));
}

}  // namespace
}  // namespace tessik
