#include "core/keys/key_codes.hpp"

#include <algorithm>

#include "core/model/remote_model.hpp"
#include "core/text/format.hpp"

namespace tessik {
namespace {

using Row = KeyNameRow;

constexpr std::array<KeyNameRow, kKeyNameRowCount> buildKeyNameTable() {
    return {{
        Row{0x13, "[PAUSE]", 0x48, true}, Row{0x14, "[CAPS]", 0x39, true},
        Row{0x1B, "[ESC]", 0x29, true}, Row{0x20, "[SPACE]", 0x2C, true},
        Row{0x2C, "[PRINT]", 0x46, true}, Row{0x08, "[BACK]", 0x2A, true},
        Row{0x09, "[TAB]", 0x2B, true}, Row{0x0D, "[ENTER]", 0x28, true},
        Row{0x21, "[P_UP]", 0x4B, true}, Row{0x22, "[P_DN]", 0x4E, true},
        Row{0x23, "[END]", 0x4D, true}, Row{0x24, "[HOME]", 0x4A, true},
        Row{0x25, "[LEFT]", 0x50, true}, Row{0x26, "[UP]", 0x52, true},
        Row{0x27, "[RIGHT]", 0x4F, true}, Row{0x28, "[DOWN]", 0x51, true},
        Row{0x2D, "[INS]", 0x49, true}, Row{0x2E, "[DEL]", 0x4C, true},
        // F1..F12: virtual keys 0x70..0x7B and usages 0x3A..0x45 run in step.
        Row{0x70, "[F1]", 0x3A, true}, Row{0x71, "[F2]", 0x3B, true}, Row{0x72, "[F3]", 0x3C, true},
        Row{0x73, "[F4]", 0x3D, true}, Row{0x74, "[F5]", 0x3E, true}, Row{0x75, "[F6]", 0x3F, true},
        Row{0x76, "[F7]", 0x40, true}, Row{0x77, "[F8]", 0x41, true}, Row{0x78, "[F9]", 0x42, true},
        Row{0x79, "[F10]", 0x43, true}, Row{0x7A, "[F11]", 0x44, true},
        Row{0x7B, "[F12]", 0x45, true},
        // Keypad operators: the keypad's own usages, so keypad minus is not the main minus.
        Row{0x6A, "[*]", 0x55, true}, Row{0x6B, "[+]", 0x57, true}, Row{0x6D, "[-]", 0x56, true},
        Row{0x6E, "[.]", 0x63, true}, Row{0x6F, "[/]", 0x54, true}, Row{0x90, "[NUM]", 0x53, true},
        Row{0x91, "[SCROLL]", 0x47, true},
        // Modifier keys: shown, but they only add their bit to the keys pressed with them.
        Row{0xA0, "[LSHIFT]", 0xE1, false}, Row{0xA1, "[RSHIFT]", 0xE5, false},
        Row{0xA2, "[LCTRL]", 0xE0, false}, Row{0xA3, "[RCTRL]", 0xE4, false},
        Row{0xA4, "[LALT]", 0xE2, false}, Row{0xA5, "[RALT]", 0xE6, false},
        Row{0x5B, "[LWIN]", 0xE3, false}, Row{0x5C, "[RWIN]", 0xE7, false},
        Row{0x5D, "[APP]", 0x65, true},
        // The Japanese keyboard. The conversion key is International4 (0x8B) and the
        // non-conversion key International5 (0x8A): the receiver's hosts expect this pairing.
        Row{0x1C, "[HEN]", 0x8B, true}, Row{0x1D, "[MUHEN]", 0x8A, true},
        Row{0xF2, "[KATA]", 0x88, true}, Row{0xF3, "[HAN]", 0x35, true},
        Row{0xF4, "[HAN]", 0x35, true}, Row{0xF0, "[CAPS]", 0x39, true},
        // JIS punctuation: named after the JIS key caps, sent as the usage of the key at the
        // same position.
        Row{0xBD, "[-]", 0x2D, true}, Row{0xDE, "[^]", 0x2E, true},
        Row{0xDC, "[\\]", 0x89, true},  // yen key, International3
        Row{0xC0, "[@]", 0x2F, true}, Row{0xDB, "[[]", 0x30, true}, Row{0xBB, "[;]", 0x33, true},
        Row{0xBA, "[:]", 0x34, true}, Row{0xDD, "[]]", 0x32, true}, Row{0xBC, "[,]", 0x36, true},
        Row{0xBE, "[.]", 0x37, true}, Row{0xBF, "[/]", 0x38, true},
        Row{0xE2, "[\\]", 0x87, true},  // ro key (backslash/underscore), International1
    }};
}

constexpr std::array<KeyUsageRow, kKeyUsageRowCount> buildKeyUsageTable() {
    std::array<KeyUsageRow, kKeyUsageRowCount> t{};
    std::size_t n = 0;
    for (const KeyNameRow& r : buildKeyNameTable())
        t[n++] = {r.virtualKey, r.usage};
    for (int i = 0; i < 26; ++i)
        t[n++] = {static_cast<VirtualKey>(0x41 + i), static_cast<std::uint8_t>(0x04 + i)};
    for (int i = 0; i < 9; ++i)
        t[n++] = {static_cast<VirtualKey>(0x31 + i), static_cast<std::uint8_t>(0x1E + i)};
    t[n++] = {0x30, 0x27};
    for (int i = 0; i < 9; ++i)
        t[n++] = {static_cast<VirtualKey>(0x61 + i), static_cast<std::uint8_t>(0x59 + i)};
    t[n++] = {0x60, 0x62};
    return t;
}

constexpr bool namesFitTheirField() {
    for (const KeyNameRow& r : buildKeyNameTable()) {
        if (r.name.size() >= kKeyNameFieldBytes) return false;
    }
    return true;
}
static_assert(namesFitTheirField(), "a key name outgrows its 12-byte field");

constexpr bool virtualKeysUnique() {
    const auto t = buildKeyUsageTable();
    for (std::size_t i = 0; i < t.size(); ++i) {
        for (std::size_t j = i + 1; j < t.size(); ++j) {
            if (t[i].virtualKey == t[j].virtualKey) return false;
        }
    }
    return true;
}
static_assert(virtualKeysUnique(), "a virtual key has two rows");

// The specific modifier keys with their bits, in the order the generic codes are resolved.
struct ModifierKey {
    VirtualKey key;
    KeyCode bit;
};
constexpr std::array<ModifierKey, 8> kModifierKeys{{
    {vk::LeftShift, modifier::LeftShift},
    {vk::RightShift, modifier::RightShift},
    {vk::LeftControl, modifier::LeftCtrl},
    {vk::RightControl, modifier::RightCtrl},
    {vk::LeftMenu, modifier::LeftAlt},
    {vk::RightMenu, modifier::RightAlt},
    {vk::LeftWin, modifier::LeftWin},
    {vk::RightWin, modifier::RightWin},
}};

// The name of a modifier bit, for keyCodeText, in bit order.
constexpr std::array<ModifierKey, 8> kModifiersInBitOrder{{
    {vk::LeftControl, modifier::LeftCtrl},
    {vk::LeftShift, modifier::LeftShift},
    {vk::LeftMenu, modifier::LeftAlt},
    {vk::LeftWin, modifier::LeftWin},
    {vk::RightControl, modifier::RightCtrl},
    {vk::RightShift, modifier::RightShift},
    {vk::RightMenu, modifier::RightAlt},
    {vk::RightWin, modifier::RightWin},
}};

std::optional<VirtualKey> keyForUsage(std::uint8_t usage) {
    for (const KeyUsageRow& r : KeyUsageTable) {
        if (r.usage == usage) return r.virtualKey;
    }
    return std::nullopt;
}

}  // namespace

constexpr std::array<KeyNameRow, kKeyNameRowCount> KeyNameTable = buildKeyNameTable();
constexpr std::array<KeyUsageRow, kKeyUsageRowCount> KeyUsageTable = buildKeyUsageTable();

const std::array<ModifierBoxRow, kModifierBoxCount> kModifierBoxRows{{
    {ModifierBox::LShift, 1034, "L SHIFT", modifier::LeftShift},
    {ModifierBox::RShift, 1038, "R SHIFT", modifier::RightShift},
    {ModifierBox::LCtrl, 1035, "L CTRL", modifier::LeftCtrl},
    {ModifierBox::RCtrl, 1039, "R CTRL", modifier::RightCtrl},
    {ModifierBox::LAlt, 1036, "L ALT", modifier::LeftAlt},
    {ModifierBox::RAlt, 1040, "R ALT", modifier::RightAlt},
    {ModifierBox::LWin, 1037, "L Win", modifier::LeftWin},
    {ModifierBox::RWin, 1041, "R Win", modifier::RightWin},
}};

std::optional<std::uint8_t> findKeyUsage(VirtualKey key) {
    for (const KeyUsageRow& r : KeyUsageTable) {
        if (r.virtualKey == key) return r.usage;
    }
    return std::nullopt;
}

bool inKeyUsageTable(std::uint8_t usage) {
    return keyForUsage(usage).has_value();
}

std::optional<KeyNameRow> findKeyName(VirtualKey key) {
    for (const KeyNameRow& r : KeyNameTable) {
        if (r.virtualKey == key) return r;
    }
    return std::nullopt;
}

std::string keyDisplayName(VirtualKey key) {
    if (const auto row = findKeyName(key)) return std::string(row->name);
    if ((key >= 0x30 && key <= 0x39) || (key >= 0x41 && key <= 0x5A)) {
        return std::string(1, static_cast<char>(key));
    }
    if (key >= 0x60 && key <= 0x69) return std::string(1, static_cast<char>('0' + key - 0x60));
    return {};
}

KeyCode modifierBits(const KeyboardSnapshot& snapshot) {
    KeyCode bits = 0;
    for (const ModifierKey& m : kModifierKeys) {
        if (isKeyDown(snapshot, m.key)) bits |= m.bit;
    }
    return bits;
}

VirtualKey specificModifier(const KeyboardSnapshot& snapshot) {
    for (const ModifierKey& m : kModifierKeys) {
        if (isKeyDown(snapshot, m.key)) return m.key;
    }
    return 0;
}

VirtualKey resolveGenericModifier(VirtualKey key, const KeyboardSnapshot& snapshot) {
    if (key == vk::Shift || key == vk::Control || key == vk::Menu)
        return specificModifier(snapshot);
    return key;
}

KeyCode modifierBoxBit(ModifierBox box) {
    return kModifierBoxRows[static_cast<std::size_t>(box)].bit;
}

KeyCode bitsFromBoxes(const ModifierBoxes& boxes) {
    KeyCode bits = 0;
    for (const ModifierBoxRow& r : kModifierBoxRows) {
        if (boxes[static_cast<std::size_t>(r.box)]) bits |= r.bit;
    }
    return bits;
}

ModifierBoxes boxesFromBits(KeyCode bits) {
    ModifierBoxes boxes{};
    for (const ModifierBoxRow& r : kModifierBoxRows) {
        boxes[static_cast<std::size_t>(r.box)] = (bits & r.bit) != 0;
    }
    return boxes;
}

KeyCodeList makeMacroReference(std::size_t macro) {
    return {kMacroMarker, static_cast<std::uint16_t>(macro), 0, 0, 0, 0};
}

std::u16string macroReferenceText(std::u16string_view macroName) {
    constexpr std::size_t kFrame = 4;  // "[M " and "]"
    std::size_t keep = std::min(macroName.size(), kMaxTextChars - kFrame);
    // Never cut between the halves of a surrogate pair.
    if (keep < macroName.size() && keep > 0 && macroName[keep - 1] >= 0xD800 &&
        macroName[keep - 1] <= 0xDBFF) {
        --keep;
    }
    return u"[M " + std::u16string(macroName.substr(0, keep)) + u"]";
}

std::string keyCodeText(KeyCode code, std::string_view joiner) {
    const std::uint8_t usage = keyUsage(code);
    const std::optional<VirtualKey> key = usage != 0 ? keyForUsage(usage) : std::nullopt;
    std::string out;
    auto add = [&out, joiner](std::string_view part) {
        if (!out.empty()) out += joiner;
        out += part;
    };
    for (const ModifierKey& m : kModifiersInBitOrder) {
        if ((code & m.bit) != 0 && key != m.key) add(findKeyName(m.key)->name);
    }
    if (key) {
        add(keyDisplayName(*key));
    } else if (usage != 0) {
        add(formatText("0x%02X", {usage}));
    }
    return out;
}

std::string keyCodeListText(const KeyCodeList& keys, std::size_t keyCount) {
    if (const auto m = macroReference(keys)) return formatText("macro %d", {*m + 1});
    std::string out;
    for (std::size_t i = 0; i < std::min(keyCount, kKeyWords); ++i) {
        if (!out.empty()) out += ' ';
        out += keyCodeText(keys[i]);
    }
    return out;
}

std::u16string sendTextOf(const KeyCodeList& keys, std::size_t keyCount) {
    std::u16string out;
    for (std::size_t i = 0; i < std::min(keyCount, kKeyWords); ++i) {
        std::string word = keyCodeText(keys[i], "");
        // An unnamed key shows what the text box typed: the key cap's letter is a capital
        // only with Shift.
        const bool shifted = (keys[i] & (modifier::LeftShift | modifier::RightShift)) != 0;
        const bool letter = !word.empty() && word.back() >= 'A' && word.back() <= 'Z' &&
                            (word.size() == 1 || word[word.size() - 2] == ']');
        if (letter && !shifted) word.back() = static_cast<char>(word.back() - 'A' + 'a');
        out.append(word.begin(), word.end());
    }
    return out;
}

}  // namespace tessik
