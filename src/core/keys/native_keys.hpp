#pragma once
// Our platform's key events turned into the virtual keys the key tables are written in.
//
// Two values come out of one event: the key the send-string editor captures, and the key the
// KeyboardState marks down or up. On Linux both are the same, left and right told apart. On
// Windows the captured key is the virtual key exactly as the system reports it (generic
// Shift, Ctrl and Alt included, which the editor resolves through the keyboard state), while
// the state needs the side, which only the scan code tells.

#include <cstdint>

#include "core/keys/key_codes.hpp"

namespace tessik {

struct NativeKey {
    VirtualKey capture = 0;  // 0: no key of ours, left to the text box
    VirtualKey state = 0;    // 0: not tracked
};

// X11 and Wayland, as the toolkit reports a key there: the XKB keycode (evdev code + 8) and the
// keysym of the active layout.
//
// The receiver sends HID usages, which name positions on the keyboard, not characters. So the
// character keys (letters, digits, punctuation, the Japanese keyboard's extra keys) are found by
// their position, whatever the layout prints on them; keys whose meaning the layout or Num Lock
// decides (function and navigation keys, the keypad, Caps and the input-method keys) by their
// keysym, as Windows reports them.
NativeKey nativeKeyFromXkb(std::uint32_t keycode, std::uint32_t keysym);

// Windows, as the toolkit reports a key there: the virtual key, and the scan code with the
// extended-key flag in bit 8.
NativeKey nativeKeyFromWindows(std::uint32_t virtualKey, std::uint32_t scanCode);

}  // namespace tessik
