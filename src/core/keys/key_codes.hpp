#pragma once
// How a send string is encoded for the receiver, and the two tables that turn a key pressed on
// the PC's keyboard into that encoding and into display text.
//
// The receiver acts as a USB keyboard: each KeyCode word it is given is one HID report's worth,
// a Keyboard/Keypad usage in the low byte and the boot-protocol modifier byte in the high byte.
// Keys are identified here by Windows virtual-key codes, because that is the vocabulary the
// tables were drawn up in; native_keys.hpp turns our platform's key events into them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/model/records.hpp"

namespace tessik {

using KeyCode = std::uint16_t;
using VirtualKey = std::uint8_t;  // 0 = no key

// The high byte of a KeyCode: the HID modifier byte in its standard bit order.
namespace modifier {
inline constexpr KeyCode LeftCtrl = 0x0100;
inline constexpr KeyCode LeftShift = 0x0200;
inline constexpr KeyCode LeftAlt = 0x0400;
inline constexpr KeyCode LeftWin = 0x0800;
inline constexpr KeyCode RightCtrl = 0x1000;
inline constexpr KeyCode RightShift = 0x2000;
inline constexpr KeyCode RightAlt = 0x4000;
inline constexpr KeyCode RightWin = 0x8000;
inline constexpr KeyCode All = 0xFF00;
}  // namespace modifier

inline constexpr std::uint8_t keyUsage(KeyCode k) {
    return static_cast<std::uint8_t>(k & 0xFF);
}
inline constexpr KeyCode keyModifiers(KeyCode k) {
    return k & modifier::All;
}

// Virtual keys the key handling refers to by name.
namespace vk {
inline constexpr VirtualKey Shift = 0x10;  // generic: either Shift key
inline constexpr VirtualKey Control = 0x11;
inline constexpr VirtualKey Menu = 0x12;  // generic Alt
inline constexpr VirtualKey LeftWin = 0x5B;
inline constexpr VirtualKey RightWin = 0x5C;
inline constexpr VirtualKey LeftShift = 0xA0;
inline constexpr VirtualKey RightShift = 0xA1;
inline constexpr VirtualKey LeftControl = 0xA2;
inline constexpr VirtualKey RightControl = 0xA3;
inline constexpr VirtualKey LeftMenu = 0xA4;
inline constexpr VirtualKey RightMenu = 0xA5;
// A key taken by the input method; the method tells which key it was.
inline constexpr VirtualKey ProcessKey = 0xE5;
}  // namespace vk

// ---------------------------------------------------------------------------------------------
// The KeyNameTable: keys that are shown by a bracketed name rather than as typed. Modifier keys
// add their name but take no place among the six keys.
inline constexpr std::size_t kKeyNameRowCount = 64;
inline constexpr std::size_t kKeyNameFieldBytes = 12;  // ASCII name + terminator

struct KeyNameRow {
    VirtualKey virtualKey;
    std::string_view name;
    std::uint8_t usage;
    bool countsAsKey;
};

extern const std::array<KeyNameRow, kKeyNameRowCount> KeyNameTable;

// The KeyUsageTable: every key that produces a KeyCode, the named ones first in the order of
// the KeyNameTable, then letters, digits and keypad digits.
inline constexpr std::size_t kKeyUsageRowCount = 110;

struct KeyUsageRow {
    VirtualKey virtualKey;
    std::uint8_t usage;
};

extern const std::array<KeyUsageRow, kKeyUsageRowCount> KeyUsageTable;

std::optional<std::uint8_t> findKeyUsage(VirtualKey key);
std::optional<KeyNameRow> findKeyName(VirtualKey key);
// True when some key of the KeyUsageTable produces `usage`: only those keys can be assigned,
// as the send-string editor cannot make any other.
bool inKeyUsageTable(std::uint8_t usage);

// What a key looks like in a list: its table name, or for the unnamed keys the character on
// the key cap ("A", "7"). Empty for keys outside the KeyUsageTable.
std::string keyDisplayName(VirtualKey key);

// ---------------------------------------------------------------------------------------------
// Keyboard-state snapshot: one byte per virtual key, bit 7 set while the key is down.
using KeyboardSnapshot = std::array<std::uint8_t, 256>;

inline constexpr bool isKeyDown(const KeyboardSnapshot& s, VirtualKey key) {
    return (s[key] & 0x80) != 0;
}

// The modifier byte of a KeyCode for the left and right modifier keys that are down.
KeyCode modifierBits(const KeyboardSnapshot& snapshot);

// The first specific modifier key that is down, in the order left Shift, right Shift, left
// Ctrl, right Ctrl, left Alt, right Alt, left Win, right Win; 0 when none is.
VirtualKey specificModifier(const KeyboardSnapshot& snapshot);

// The generic Shift, Ctrl and Alt codes replaced by specificModifier; other keys unchanged.
// Because the first key down in the fixed order wins, Ctrl pressed while a Shift key is held
// comes out as that Shift key.
VirtualKey resolveGenericModifier(VirtualKey key, const KeyboardSnapshot& snapshot);

// ---------------------------------------------------------------------------------------------
// The editor's eight modifier check boxes, in the order they are laid out.
enum class ModifierBox { LShift, RShift, LCtrl, RCtrl, LAlt, RAlt, LWin, RWin };
inline constexpr std::size_t kModifierBoxCount = 8;
using ModifierBoxes = std::array<bool, kModifierBoxCount>;

struct ModifierBoxRow {
    ModifierBox box;
    int controlId;
    std::string_view label;  // the same in both languages
    KeyCode bit;
};
extern const std::array<ModifierBoxRow, kModifierBoxCount> kModifierBoxRows;

KeyCode modifierBoxBit(ModifierBox box);
KeyCode bitsFromBoxes(const ModifierBoxes& boxes);
ModifierBoxes boxesFromBits(KeyCode bits);

// ---------------------------------------------------------------------------------------------
// Macro reference: a KeyCodeList whose first word is exactly the marker runs macro keys[1]
// instead of typing keys. isMacroReference and macroReference live with the model.
KeyCodeList makeMacroReference(std::size_t macro);

// "[M %s]" with the macro's name, as shown for a reference. A name near the 128-character
// limit is shortened so the whole text still fits the send-text field with its bracket.
std::u16string macroReferenceText(std::u16string_view macroName);

// A KeyCode as readable key names: the held modifiers, then the key, joined by '+'
// ("[LCTRL]+C", "[LSHIFT]+[F5]"). A modifier key does not repeat its own bit. A usage outside
// the table shows as "0xNN". With an empty `joiner` the parts follow each other as in a send
// string ("[LCTRL]C").
std::string keyCodeText(KeyCode code, std::string_view joiner = "+");

// The first `keyCount` words (at most six) as keyCodeText, separated by spaces; a macro
// reference as "macro N" with N counted from 1.
std::string keyCodeListText(const KeyCodeList& keys, std::size_t keyCount);

// The SendText the send-string editor would have shown had the first `keyCount` words been
// pressed there: named keys by their names, a modifier's name before its key, a letter in
// lower case unless Shift is held ("[LCTRL][UP]", "[LSHIFT]N", "b").
std::u16string sendTextOf(const KeyCodeList& keys, std::size_t keyCount);

}  // namespace tessik
