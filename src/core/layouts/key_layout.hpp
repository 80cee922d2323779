#pragma once
// Key layouts: which keys each button role types, for one program (a media centre, a video
// player, a presentation) or for plain navigation. The program ships some; users add their
// own as files. A layout file is JSON:
//
//   {
//     "name":  { "en": "Presentation", "ja": "プレゼンテーション" },
//     "about": { "en": "...", "ja": "..." },                      (optional)
//     "roles": [
//       { "role": "Next", "keys": "PageDown" },
//       { "role": "VolumeUp", "keys": "Ctrl+Up" },
//       { "role": "Blank", "name": { "en": "Black screen", "ja": "黒い画面" }, "keys": "B" },
//       { "role": "Digits", "name": { ... }, "keys": ["1", "2"] }
//     ]
//   }
//
// "role" is a standard role (roles.hpp), which may be renamed for the layout with "name", or a
// role of the layout's own, which must be named. "keys" is one key stroke (key_strokes.hpp) or
// a list of up to six, typed one after the other. A layout that breaks any of this is refused
// as a whole, with the line of the first fault.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/keys/key_codes.hpp"
#include "core/layouts/layout_document.hpp"
#include "core/model/remote_model.hpp"
#include "core/text/language.hpp"

namespace tessik {

struct LayoutRole {
    std::string id;
    std::string english;  // its name
    std::string japanese;
    KeyCodeList keys{};
    std::uint16_t keyCount = 0;
    std::size_t line = 0;  // where the file gives it

    std::string_view name(Language language) const;
    // What a button of this role stores: the keys, their SendText and `comment`.
    ButtonKeys buttonKeys(std::u16string comment) const;
};

struct KeyLayout {
    std::string id;  // the file's name without ".json": what `--layout` takes
    std::string english;
    std::string japanese;
    std::string aboutEnglish;  // whose shortcuts these are; may be empty
    std::string aboutJapanese;
    std::vector<LayoutRole> roles;
    std::string file;  // where a user's layout was read; empty for a shipped one

    std::string_view name(Language language) const;
    std::string_view about(Language language) const;
    const LayoutRole* role(std::string_view roleId) const;
    // The role a signal named `signalName` plays here: the standard role the name stands for,
    // when the layout has it, else a role of the layout's own whose id or name reads the same.
    const LayoutRole* roleForSignal(std::string_view signalName) const;
};

struct LayoutRead {
    std::optional<KeyLayout> layout;
    std::size_t line = 0;
    std::string error;  // "line N: ...", in the language asked for
};

// The layout `document` holds, called `id`; or the first fault with its line.
LayoutRead readKeyLayout(const DocumentParse& document, std::string id, Language language);

}  // namespace tessik
