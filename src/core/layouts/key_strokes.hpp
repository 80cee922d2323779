#pragma once
// Keys as a key layout file writes them: "Up", "Enter", "F5", "N", "Num7", "Ctrl+Up",
// "Shift+N". One word is what the receiver types for one KeyCode: the modifiers held, joined by
// '+', then the key. Names are matched without regard to case.
//
// The names are those of the keys' places on the keyboard (the HID usages), not of the
// characters the host makes of them: "Equals" is the key right of "0", which a Japanese host
// reads as "^". Only keys of the KeyUsageTable are accepted, the ones the receiver is given by
// the send-string editor too; a few keyboard keys outside it have names here all the same
// ("Backslash", "VolumeUp"), so that a layout naming them is told exactly that.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/keys/key_codes.hpp"

namespace tessik {

enum class KeyStrokeError {
    None,
    Empty,        // nothing, or nothing between two '+'
    UnknownName,  // `word` names no key (or no modifier, before the last '+')
    NotTypeable,  // `word` names a key outside the KeyUsageTable
};

struct KeyStroke {
    KeyCode code = 0;
    KeyStrokeError error = KeyStrokeError::None;
    std::string word;  // the part of the text the error is about
    bool ok() const { return error == KeyStrokeError::None; }
};

KeyStroke parseKeyStroke(std::string_view text);

// The layout file's own way of writing `code` ("Ctrl+Up"): the modifiers in bit order, then the
// key's first name. parseKeyStroke(keyStrokeText(c)) gives c back for every key of the table.
std::string keyStrokeText(KeyCode code);

}  // namespace tessik
