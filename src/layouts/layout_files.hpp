#pragma once
// The key layouts the program offers: the ones it ships (built in from res/layouts) and the
// user's own "*.json" files in the "layouts" folder of the user data folder. A user's layout
// with a shipped layout's name takes its place. A file that is not a valid layout is refused
// with its line, and the others are offered all the same.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/layouts/key_layout.hpp"
#include "core/text/language.hpp"

namespace tessik::layouts {

// A user's layout file is a few kilobytes; this bounds what a wrong file costs.
inline constexpr std::size_t kMaxLayoutFileBytes = 1024 * 1024;

struct LayoutRefusal {
    std::string file;
    std::size_t line = 0;  // 0: the file could not be read at all
    std::string error;     // "line N: ..." or why it could not be read
    // "FILE: line N: ..."
    std::string text() const;
};

struct LayoutList {
    std::vector<KeyLayout> layouts;  // the shipped ones in name order, then the user's
    std::vector<LayoutRefusal> refused;
    const KeyLayout* find(std::string_view id) const;
};

// The shipped layouts' names and texts, in name order.
struct ShippedLayout {
    std::string_view id;
    std::string_view json;
};
std::vector<ShippedLayout> shippedLayoutTexts();

// Where the user's own layouts are read from: "layouts" in the user data folder.
std::filesystem::path userLayoutFolder();

// One layout file; its name without ".json" names the layout.
LayoutRead readLayoutFile(const std::filesystem::path& file, Language language);

// The shipped layouts and those of `userFolder`, which need not exist.
LayoutList loadLayouts(const std::filesystem::path& userFolder, Language language);

}  // namespace tessik::layouts
