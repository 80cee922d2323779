#pragma once
// What a remote-control button is for: its role ("Up", "VolumeUp", "7", "Red"). A key layout
// says which keys each role types; a guided set-up asks for the buttons by role; an import
// finds the role of each signal by its name.
//
// The standard roles below carry their names in both languages. A layout may add roles of its
// own (a presentation's "Blank"), which it names itself.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/bilingual.hpp"

namespace tessik {

struct StandardRole {
    std::string_view id;  // as layout files write it
    Bilingual name;       // as the user reads it ("Vol+", "音量+")
};

std::span<const StandardRole> standardRoles();
// The standard role `id` names exactly; nothing for another id.
const StandardRole* findStandardRole(std::string_view id);

// The standard role a signal's name stands for, for the names that files of remote codes
// use: the ".ir" format's "POWER", "VOL+", "CH-", "OK", "UP"; LIRC's "KEY_POWER",
// "KEY_VOLUMEUP", "KEY_OK", "KEY_1"; and their common spellings ("Vol_Up", "ch down", "FFWD",
// "Play/Pause"), in any case. A name the reader put the remote's name before ("NEC_TV KEY_UP")
// is matched by its tail when the whole does not match. Nothing for a name that stands for
// none ("INPUT", "Unknown").
std::optional<std::string_view> roleOfSignalName(std::string_view name);

// The forms of `name` matched, in order: the whole, then each tail after a space.
std::vector<std::string> signalNameKeys(std::string_view name);

// A name as roleOfSignalName compares it: upper case, without a "KEY_" or "BTN_" prefix and
// without spaces, '_', '.', '/' and '-', except a '-' that ends the name ("VOL -" is "VOL-",
// "Fast-Forward" is "FASTFORWARD"). Layouts' own roles are matched by this form too.
std::string signalNameKey(std::string_view name);

}  // namespace tessik
