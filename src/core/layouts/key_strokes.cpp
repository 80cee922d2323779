#include "core/layouts/key_strokes.hpp"

#include <array>
#include <optional>

#include "core/text/format.hpp"

namespace tessik {
namespace {

struct NamedUsage {
    std::string_view name;
    std::uint8_t usage;
};

// The first name of a usage is the one keyStrokeText writes; later ones are accepted too.
// Letters, digits, F1..F12 and the keypad digits are made in code.
constexpr NamedUsage kNamedKeys[] = {
    {"Enter", 0x28},
    {"Return", 0x28},
    {"Esc", 0x29},
    {"Escape", 0x29},
    {"Backspace", 0x2A},
    {"Tab", 0x2B},
    {"Space", 0x2C},
    {"Minus", 0x2D},
    {"Equals", 0x2E},
    {"LeftBracket", 0x2F},
    {"RightBracket", 0x30},
    {"Backslash", 0x31},  // not in the KeyUsageTable: the JIS keys are sent instead
    {"NonUSHash", 0x32},
    {"Semicolon", 0x33},
    {"Quote", 0x34},
    {"Grave", 0x35},
    {"Hankaku", 0x35},
    {"Comma", 0x36},
    {"Period", 0x37},
    {"Slash", 0x38},
    {"CapsLock", 0x39},
    {"PrintScreen", 0x46},
    {"ScrollLock", 0x47},
    {"Pause", 0x48},
    {"Insert", 0x49},
    {"Ins", 0x49},
    {"Home", 0x4A},
    {"PageUp", 0x4B},
    {"PgUp", 0x4B},
    {"Delete", 0x4C},
    {"Del", 0x4C},
    {"End", 0x4D},
    {"PageDown", 0x4E},
    {"PgDn", 0x4E},
    {"Right", 0x4F},
    {"Left", 0x50},
    {"Down", 0x51},
    {"Up", 0x52},
    {"NumLock", 0x53},
    {"NumSlash", 0x54},
    {"NumStar", 0x55},
    {"NumMinus", 0x56},
    {"NumPlus", 0x57},
    {"NumEnter", 0x58},  // not in the KeyUsageTable
    {"NumPeriod", 0x63},
    {"App", 0x65},
    {"Menu", 0x65},
    // Keyboard-page keys the receiver's table lacks: a layout naming them is refused by name.
    {"Mute", 0x7F},
    {"VolumeUp", 0x80},
    {"VolumeDown", 0x81},
    // The Japanese keyboard's own keys.
    {"Ro", 0x87},
    {"Katakana", 0x88},
    {"Yen", 0x89},
    {"Muhenkan", 0x8A},
    {"Henkan", 0x8B},
};

struct NamedModifier {
    std::string_view name;
    KeyCode bit;
};

// In bit order first, the names keyStrokeText writes; then the other spellings.
constexpr NamedModifier kModifiers[] = {
    {"Ctrl", modifier::LeftCtrl},    {"Shift", modifier::LeftShift},
    {"Alt", modifier::LeftAlt},      {"Win", modifier::LeftWin},
    {"RCtrl", modifier::RightCtrl},  {"RShift", modifier::RightShift},
    {"RAlt", modifier::RightAlt},    {"RWin", modifier::RightWin},
    {"LCtrl", modifier::LeftCtrl},   {"Control", modifier::LeftCtrl},
    {"LShift", modifier::LeftShift}, {"LAlt", modifier::LeftAlt},
    {"LWin", modifier::LeftWin},     {"AltGr", modifier::RightAlt},
};
constexpr std::size_t kModifiersInBitOrder = 8;

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// "7" from "Num7", "12" from "F12": the number after `prefix`, when the rest is all digits.
std::optional<int> numberAfter(std::string_view name, std::string_view prefix) {
    if (name.size() <= prefix.size() || name.size() > prefix.size() + 2 ||
        !sameName(name.substr(0, prefix.size()), prefix)) {
        return std::nullopt;
    }
    int n = 0;
    for (const char c : name.substr(prefix.size())) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

std::optional<std::uint8_t> usageOfName(std::string_view name) {
    if (name.size() == 1) {
        const char c = lower(name[0]);
        if (c >= 'a' && c <= 'z') return static_cast<std::uint8_t>(0x04 + (c - 'a'));
        if (c >= '1' && c <= '9') return static_cast<std::uint8_t>(0x1E + (c - '1'));
        if (c == '0') return 0x27;
    }
    if (const auto n = numberAfter(name, "F"); n && *n >= 1 && *n <= 12)
        return static_cast<std::uint8_t>(0x3A + *n - 1);
    if (const auto n = numberAfter(name, "Num"); n && *n <= 9)
        return static_cast<std::uint8_t>(*n == 0 ? 0x62 : 0x59 + *n - 1);
    for (const NamedUsage& k : kNamedKeys) {
        if (sameName(k.name, name)) return k.usage;
    }
    return std::nullopt;
}

std::optional<KeyCode> modifierOfName(std::string_view name) {
    for (const NamedModifier& m : kModifiers) {
        if (sameName(m.name, name)) return m.bit;
    }
    return std::nullopt;
}

std::string nameOfUsage(std::uint8_t usage) {
    if (usage >= 0x04 && usage <= 0x1D)
        return std::string(1, static_cast<char>('A' + usage - 0x04));
    if (usage >= 0x1E && usage <= 0x26)
        return std::string(1, static_cast<char>('1' + usage - 0x1E));
    if (usage == 0x27) return "0";
    if (usage >= 0x3A && usage <= 0x45) return formatText("F%d", {usage - 0x3A + 1});
    if (usage >= 0x59 && usage <= 0x61) return formatText("Num%d", {usage - 0x59 + 1});
    if (usage == 0x62) return "Num0";
    for (const NamedUsage& k : kNamedKeys) {
        if (k.usage == usage) return std::string(k.name);
    }
    return {};
}

KeyStroke failed(KeyStrokeError error, std::string_view word) {
    return KeyStroke{0, error, std::string(word)};
}

}  // namespace

KeyStroke parseKeyStroke(std::string_view text) {
    KeyCode bits = 0;
    for (;;) {
        const std::size_t plus = text.find('+');
        const std::string_view word = trimmed(text.substr(0, plus));
        if (word.empty()) return failed(KeyStrokeError::Empty, text);
        if (plus == std::string_view::npos) {
            const auto usage = usageOfName(word);
            if (!usage) return failed(KeyStrokeError::UnknownName, word);
            if (!inKeyUsageTable(*usage)) return failed(KeyStrokeError::NotTypeable, word);
            return KeyStroke{static_cast<KeyCode>(bits | *usage), KeyStrokeError::None, {}};
        }
        const auto bit = modifierOfName(word);
        if (!bit) return failed(KeyStrokeError::UnknownName, word);
        bits |= *bit;
        text.remove_prefix(plus + 1);
    }
}

std::string keyStrokeText(KeyCode code) {
    std::string out;
    for (std::size_t i = 0; i < kModifiersInBitOrder; ++i) {
        if ((code & kModifiers[i].bit) == 0) continue;
        out += kModifiers[i].name;
        out += '+';
    }
    const std::string key = nameOfUsage(keyUsage(code));
    out += key.empty() ? formatText("0x%02X", {keyUsage(code)}) : key;
    return out;
}

}  // namespace tessik
