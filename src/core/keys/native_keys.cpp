#include "core/keys/native_keys.hpp"

#include <array>
#include <optional>

namespace tessik {
namespace {

// X11 keysym values (the X protocol's own numbering; Wayland compositors use the same).
namespace xk {
constexpr std::uint32_t BackSpace = 0xFF08, Tab = 0xFF09, Return = 0xFF0D, Pause = 0xFF13;
constexpr std::uint32_t Scroll_Lock = 0xFF14, Sys_Req = 0xFF15, Escape = 0xFF1B;
constexpr std::uint32_t Muhenkan = 0xFF22, Henkan_Mode = 0xFF23, Hiragana = 0xFF25;
constexpr std::uint32_t Katakana = 0xFF26, Hiragana_Katakana = 0xFF27, Zenkaku = 0xFF28;
constexpr std::uint32_t Hankaku = 0xFF29, Zenkaku_Hankaku = 0xFF2A, Eisu_Shift = 0xFF2F;
constexpr std::uint32_t Eisu_toggle = 0xFF30;
constexpr std::uint32_t Home = 0xFF50, Left = 0xFF51, Up = 0xFF52, Right = 0xFF53, Down = 0xFF54;
constexpr std::uint32_t Prior = 0xFF55, Next = 0xFF56, End = 0xFF57;
constexpr std::uint32_t Print = 0xFF61, Insert = 0xFF63, Menu = 0xFF67, Break = 0xFF6B;
constexpr std::uint32_t Num_Lock = 0xFF7F, KP_Enter = 0xFF8D;
constexpr std::uint32_t KP_Home = 0xFF95, KP_Left = 0xFF96, KP_Up = 0xFF97, KP_Right = 0xFF98;
constexpr std::uint32_t KP_Down = 0xFF99, KP_Prior = 0xFF9A, KP_Next = 0xFF9B, KP_End = 0xFF9C;
constexpr std::uint32_t KP_Begin = 0xFF9D, KP_Insert = 0xFF9E, KP_Delete = 0xFF9F;
constexpr std::uint32_t KP_Multiply = 0xFFAA, KP_Add = 0xFFAB, KP_Separator = 0xFFAC;
constexpr std::uint32_t KP_Subtract = 0xFFAD, KP_Decimal = 0xFFAE, KP_Divide = 0xFFAF;
constexpr std::uint32_t KP_0 = 0xFFB0, KP_9 = 0xFFB9, F1 = 0xFFBE, F24 = 0xFFD5;
constexpr std::uint32_t Shift_L = 0xFFE1, Shift_R = 0xFFE2, Control_L = 0xFFE3;
constexpr std::uint32_t Control_R = 0xFFE4, Caps_Lock = 0xFFE5, Meta_L = 0xFFE7, Meta_R = 0xFFE8;
constexpr std::uint32_t Alt_L = 0xFFE9, Alt_R = 0xFFEA, Super_L = 0xFFEB, Super_R = 0xFFEC;
constexpr std::uint32_t Delete = 0xFFFF;
constexpr std::uint32_t ISO_Level3_Shift = 0xFE03, ISO_Left_Tab = 0xFE20, Mode_switch = 0xFF7E;
}  // namespace xk

struct KeysymRow {
    std::uint32_t keysym;
    VirtualKey key;
};

// Keys whose meaning the keysym carries. With Num Lock off the keypad reports navigation
// keysyms and becomes the navigation keys, exactly as on Windows.
constexpr auto kByKeysym = std::to_array<KeysymRow>({
    {xk::BackSpace, 0x08},
    {xk::Tab, 0x09},
    {xk::ISO_Left_Tab, 0x09},  // Shift+Tab
    {xk::Return, 0x0D},
    {xk::KP_Enter, 0x0D},
    {xk::Pause, 0x13},
    {xk::Break, 0x03},  // Ctrl+Pause: Windows' cancel key, which has no usage
    {xk::Caps_Lock, 0x14},
    {xk::Escape, 0x1B},
    {xk::Henkan_Mode, 0x1C},
    {xk::Muhenkan, 0x1D},
    {xk::Prior, 0x21},
    {xk::KP_Prior, 0x21},
    {xk::Next, 0x22},
    {xk::KP_Next, 0x22},
    {xk::End, 0x23},
    {xk::KP_End, 0x23},
    {xk::Home, 0x24},
    {xk::KP_Home, 0x24},
    {xk::Left, 0x25},
    {xk::KP_Left, 0x25},
    {xk::Up, 0x26},
    {xk::KP_Up, 0x26},
    {xk::Right, 0x27},
    {xk::KP_Right, 0x27},
    {xk::Down, 0x28},
    {xk::KP_Down, 0x28},
    {xk::Print, 0x2C},
    {xk::Sys_Req, 0x2C},  // Alt+Print
    {xk::Insert, 0x2D},
    {xk::KP_Insert, 0x2D},
    {xk::Delete, 0x2E},
    {xk::KP_Delete, 0x2E},
    {xk::KP_Begin, 0x0C},  // keypad 5 without Num Lock: Windows' clear key, no usage
    {xk::Menu, 0x5D},
    {xk::KP_Multiply, 0x6A},
    {xk::KP_Add, 0x6B},
    {xk::KP_Separator, 0x6C},
    {xk::KP_Subtract, 0x6D},
    {xk::KP_Decimal, 0x6E},
    {xk::KP_Divide, 0x6F},
    {xk::Num_Lock, 0x90},
    {xk::Scroll_Lock, 0x91},
    {xk::Shift_L, vk::LeftShift},
    {xk::Shift_R, vk::RightShift},
    {xk::Control_L, vk::LeftControl},
    {xk::Control_R, vk::RightControl},
    {xk::Alt_L, vk::LeftMenu},
    {xk::Alt_R, vk::RightMenu},
    {xk::Super_L, vk::LeftWin},
    {xk::Super_R, vk::RightWin},
    // The Japanese keyboard's input-method keys. Its Caps key reports Eisu_toggle unshifted
    // and Caps_Lock with Shift, as Windows reports 0xF0 and 0x14 for it.
    {xk::Eisu_toggle, 0xF0},
    {xk::Eisu_Shift, 0xF0},
    {xk::Hiragana_Katakana, 0xF2},
    {xk::Hiragana, 0xF2},
    {xk::Katakana, 0xF2},
    // Windows names the half/full-width key by the mode it switches to; both send one usage.
    {xk::Zenkaku_Hankaku, 0xF3},
    {xk::Hankaku, 0xF3},
    {xk::Zenkaku, 0xF4},
    // Keysyms that do not tell the side; the keycode does, these are the fallback.
    {xk::Meta_L, 0},
    {xk::Meta_R, 0},
    {xk::ISO_Level3_Shift, 0},
    {xk::Mode_switch, 0},
});

// XKB keycodes (evdev + 8) of the keys that are found by position. Punctuation takes the
// virtual key of the JIS key at that position; that key's usage is the position's usage.
struct KeycodeRow {
    std::uint32_t keycode;
    VirtualKey key;
};

constexpr auto kByPosition = std::to_array<KeycodeRow>({
    {37, vk::LeftControl},
    {50, vk::LeftShift},
    {62, vk::RightShift},
    {64, vk::LeftMenu},
    {105, vk::RightControl},
    {108, vk::RightMenu},  // Alt_R, or ISO_Level3_Shift where it is AltGr
    {133, vk::LeftWin},
    {134, vk::RightWin},
    {135, 0x5D},  // menu key
    {65, 0x20},   // space
    {20, 0xBD},   // minus / JIS "-"
    {21, 0xDE},   // equal / JIS "^"
    {34, 0xC0},   // left bracket / JIS "@"
    {35, 0xDB},   // right bracket / JIS "["
    {47, 0xBB},   // semicolon / JIS ";"
    {48, 0xBA},   // apostrophe / JIS ":"
    {51, 0xDD},   // backslash, also the JIS "]" key left of Enter
    {59, 0xBC},   // comma
    {60, 0xBE},   // period
    {61, 0xBF},   // slash
    {97, 0xE2},   // JIS ro key (backslash, underscore)
    {132, 0xDC},  // JIS yen key
    {49, 0xF3},   // grave, the JIS half/full-width key
    {93, 0xF3},   // a separate half/full-width key
    {98, 0xF2},   // separate katakana and hiragana keys
    {99, 0xF2},
    {100, 0x1C},  // henkan
    {101, 0xF2},  // hiragana/katakana
    {102, 0x1D},  // muhenkan
    {66, 0x14},   // caps lock when its keysym says nothing more
});

// Letters by position: the three letter rows of the main block.
constexpr std::array<char, 10> kTopRow{'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I', 'O', 'P'};
constexpr std::array<char, 9> kHomeRow{'A', 'S', 'D', 'F', 'G', 'H', 'J', 'K', 'L'};
constexpr std::array<char, 7> kBottomRow{'Z', 'X', 'C', 'V', 'B', 'N', 'M'};

VirtualKey byPosition(std::uint32_t keycode) {
    if (keycode >= 10 && keycode <= 18) return static_cast<VirtualKey>('1' + (keycode - 10));
    if (keycode == 19) return '0';
    if (keycode >= 24 && keycode <= 33) return static_cast<VirtualKey>(kTopRow[keycode - 24]);
    if (keycode >= 38 && keycode <= 46) return static_cast<VirtualKey>(kHomeRow[keycode - 38]);
    if (keycode >= 52 && keycode <= 58) return static_cast<VirtualKey>(kBottomRow[keycode - 52]);
    for (const KeycodeRow& r : kByPosition) {
        if (r.keycode == keycode) return r.key;
    }
    return 0;
}

// Last resort for a keycode we do not know (an unusual keyboard or remapping): the keysym's
// character.
VirtualKey byCharacter(std::uint32_t keysym) {
    if (keysym >= 'a' && keysym <= 'z') return static_cast<VirtualKey>(keysym - 'a' + 'A');
    if ((keysym >= 'A' && keysym <= 'Z') || (keysym >= '0' && keysym <= '9') || keysym == ' ') {
        return static_cast<VirtualKey>(keysym);
    }
    switch (keysym) {
        case xk::Meta_L:
            return vk::LeftMenu;
        case xk::Meta_R:
        case xk::ISO_Level3_Shift:
        case xk::Mode_switch:
            return vk::RightMenu;
        default:
            return 0;
    }
}

std::optional<VirtualKey> byKeysym(std::uint32_t keysym) {
    if (keysym >= xk::KP_0 && keysym <= xk::KP_9)
        return static_cast<VirtualKey>(0x60 + keysym - xk::KP_0);
    if (keysym >= xk::F1 && keysym <= xk::F24)
        return static_cast<VirtualKey>(0x70 + keysym - xk::F1);
    for (const KeysymRow& r : kByKeysym) {
        if (r.keysym == keysym) return r.key;
    }
    return std::nullopt;
}

}  // namespace

NativeKey nativeKeyFromXkb(std::uint32_t keycode, std::uint32_t keysym) {
    VirtualKey key = 0;
    const std::optional<VirtualKey> named = byKeysym(keysym);
    if (named && *named != 0) {
        key = *named;
    } else {
        key = byPosition(keycode);
        if (key == 0) key = byCharacter(keysym);
    }
    return {key, key};
}

NativeKey nativeKeyFromWindows(std::uint32_t virtualKey, std::uint32_t scanCode) {
    if (virtualKey == 0 || virtualKey > 0xFF) return {};
    const auto key = static_cast<VirtualKey>(virtualKey);
    constexpr std::uint32_t kExtended = 0x100;
    VirtualKey side = key;
    switch (key) {
        case vk::Shift:
            // The right Shift key has its own scan code rather than the extended flag.
            side = (scanCode & 0xFF) == 0x36 ? vk::RightShift : vk::LeftShift;
            break;
        case vk::Control:
            side = (scanCode & kExtended) != 0 ? vk::RightControl : vk::LeftControl;
            break;
        case vk::Menu:
            side = (scanCode & kExtended) != 0 ? vk::RightMenu : vk::LeftMenu;
            break;
        default:
            break;
    }
    return {key, side};
}

}  // namespace tessik
