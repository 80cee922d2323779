#include <gtest/gtest.h>

#include "core/keys/key_codes.hpp"
#include "core/model/remote_model.hpp"

namespace tessik {
namespace {

KeyboardSnapshot down(std::initializer_list<VirtualKey> keys) {
    KeyboardSnapshot s{};
    for (VirtualKey k : keys)
        s[k] = 0x80;
    return s;
}

TEST(KeyTables, namedKeysComeFirstDuplicatesStayApartByUsageAndModifiersTakeNoPlace) {
    ASSERT_EQ(KeyNameTable.size(), 64u);
    ASSERT_EQ(KeyUsageTable.size(), 110u);
    for (std::size_t i = 0; i < KeyNameTable.size(); ++i) {
        EXPECT_EQ(KeyUsageTable[i].virtualKey, KeyNameTable[i].virtualKey);
        EXPECT_EQ(KeyUsageTable[i].usage, KeyNameTable[i].usage);
    }
    EXPECT_EQ(findKeyName(0x74)->name, "[F5]");
    EXPECT_EQ(findKeyUsage(0x74), 0x3E);
    EXPECT_EQ(findKeyName(0xDC)->name, findKeyName(0xE2)->name);  // "[\]" twice
    EXPECT_EQ(findKeyUsage(0xDC), 0x89);
    EXPECT_EQ(findKeyUsage(0xE2), 0x87);
    EXPECT_EQ(findKeyUsage(0xF3), findKeyUsage(0xF4));

    std::size_t modifiers = 0;
    for (const KeyNameRow& r : KeyNameTable)
        modifiers += r.countsAsKey ? 0 : 1;
    EXPECT_EQ(modifiers, 8u);
    EXPECT_FALSE(findKeyName(0xA5)->countsAsKey);

    // The unnamed keys at both ends of their runs.
    EXPECT_EQ(findKeyUsage('A'), 0x04);
    EXPECT_EQ(findKeyUsage('Z'), 0x1D);
    EXPECT_EQ(findKeyUsage('1'), 0x1E);
    EXPECT_EQ(findKeyUsage('0'), 0x27);
    EXPECT_EQ(findKeyUsage(0x69), 0x61);
    EXPECT_EQ(findKeyUsage(0x60), 0x62);
    EXPECT_FALSE(findKeyName('A'));
    // Generic modifiers, browser keys and the input method's key have no row.
    for (VirtualKey k : {0x10, 0x11, 0x12, 0xA6, 0xE5, 0x00})
        EXPECT_FALSE(findKeyUsage(k)) << int(k);
}

TEST(KeyboardSnapshot, modifierBitsAndTheFixedResolutionOrder) {
    EXPECT_EQ(modifierBits(down({})), 0);
    EXPECT_EQ(modifierBits(down({0xA2, 0xA0, 0xA4})), 0x0700);
    EXPECT_EQ(modifierBits(down({0xA3, 0xA1, 0xA5, 0x5B, 0x5C})),
              0x1000 | 0x2000 | 0x4000 | 0x0800 | 0x8000);
    EXPECT_EQ(modifierBits(down({0x10, 0x11, 0x12, 0x41})), 0);  // generic codes carry no side

    EXPECT_EQ(specificModifier(down({})), 0);
    EXPECT_EQ(specificModifier(down({0x5C, 0xA5, 0xA3})), 0xA3);
    EXPECT_EQ(specificModifier(down({0xA2, 0xA0})), 0xA0);  // Shift before Ctrl
    EXPECT_EQ(specificModifier(down({0x5C, 0x5B})), 0x5B);
    // Ctrl pressed while Shift is held comes out as the Shift key.
    EXPECT_EQ(resolveGenericModifier(0x11, down({0xA0, 0xA2})), 0xA0);
    EXPECT_EQ(resolveGenericModifier(0x12, down({})), 0);
    EXPECT_EQ(resolveGenericModifier(0x41, down({0xA0})), 0x41);
}

TEST(ModifierBoxes, eachBoxIsOneBitAndBack) {
    EXPECT_EQ(modifierBoxBit(ModifierBox::RCtrl), 0x1000);
    EXPECT_EQ(modifierBoxBit(ModifierBox::LWin), 0x0800);
    for (unsigned bits = 0; bits < 256; ++bits) {
        const auto word = static_cast<KeyCode>(bits << 8);
        EXPECT_EQ(bitsFromBoxes(boxesFromBits(static_cast<KeyCode>(word | 0x2C))), word);
    }
}

TEST(MacroReference, makeTestAndShow) {
    const KeyCodeList ref = makeMacroReference(3);
    EXPECT_EQ(ref, (KeyCodeList{0x00FF, 3, 0, 0, 0, 0}));
    EXPECT_TRUE(isMacroReference(ref));
    EXPECT_FALSE(isMacroReference({0x01FF, 3, 0, 0, 0, 0}));
    EXPECT_FALSE(isMacroReference({0x02FF, 3, 0, 0, 0, 0}));
    EXPECT_EQ(macroReferenceText(u"Movie"), u"[M Movie]");

    // A name of 128 characters still gives a text that fits the field, bracket included,
    // and a surrogate pair is never cut in half.
    const std::u16string full(128, u'x');
    EXPECT_EQ(macroReferenceText(full).size(), 128u);
    EXPECT_EQ(macroReferenceText(full).back(), u']');
    std::u16string pairs = std::u16string(123, u'x') + u"\U0001F600\U0001F600";
    const std::u16string shown = macroReferenceText(pairs);
    EXPECT_EQ(shown, u"[M " + std::u16string(123, u'x') + u"]");
}

TEST(KeyCodeText, readableNamesForStoredWords) {
    EXPECT_EQ(keyCodeText(0x0106), "[LCTRL]+C");
    EXPECT_EQ(keyCodeText(0x073E), "[LCTRL]+[LSHIFT]+[LALT]+[F5]");
    EXPECT_EQ(keyCodeText(0x4014), "[RALT]+Q");
    EXPECT_EQ(keyCodeText(0x02E1), "[LSHIFT]");  // the Shift key itself
    EXPECT_EQ(keyCodeText(0x0059), "1");         // keypad 1
    EXPECT_EQ(keyCodeText(0x0056), "[-]");
    EXPECT_EQ(keyCodeText(0x0064), "0x64");  // a usage the tables do not produce
    EXPECT_EQ(keyCodeListText({0x0204, 0x0005, 0x0099, 0, 0, 0}, 2), "[LSHIFT]+A B");
    EXPECT_EQ(keyCodeListText({0x00FF, 2, 0, 0, 0, 0}, 0), "macro 3");
    EXPECT_EQ(keyCodeListText({0x0004, 0, 0, 0, 0, 0}, 0), "");
}

}  // namespace
}  // namespace tessik
