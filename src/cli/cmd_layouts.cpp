// layouts: the key layouts offered (shipped, and the user's own files) with their roles and
// keys, and the refusal of a user's layout that is not valid, with its file and line.

#include <ostream>

#include "cli/commands.hpp"
#include "core/layouts/key_strokes.hpp"
#include "core/text/format.hpp"
#include "core/text/path_text.hpp"
#include "layouts/layout_files.hpp"

namespace tessik::cli {
namespace {

std::string keysText(const LayoutRole& role) {
    std::string out;
    for (std::size_t i = 0; i < role.keyCount; ++i) {
        if (i > 0) out += ", ";
        out += keyStrokeText(role.keys[i]);
    }
    return out;
}

// Pads `text` to `width` characters (UTF-8 continuation bytes take no column).
std::string padded(const std::string& text, std::size_t width) {
    std::size_t columns = 0;
    for (const char c : text)
        columns += (static_cast<unsigned char>(c) & 0xC0) == 0x80 ? 0 : 1;
    return text + std::string(columns < width ? width - columns : 1, ' ');
}

}  // namespace

bool refusedLayoutsTold(const layouts::LayoutList& list, Io& io) {
    for (const layouts::LayoutRefusal& r : list.refused)
        fail(io, r.text());
    return !list.refused.empty();
}

const KeyLayout* chosenLayout(const std::string& id, const layouts::LayoutList& list, Io& io,
                              int& status) {
    if (const KeyLayout* layout = list.find(id)) return layout;
    for (const layouts::LayoutRefusal& r : list.refused) {
        if (pathFromUtf8(r.file).filename() == pathFromUtf8(id + ".json")) {
            status = fail(io, r.text());
            return nullptr;
        }
    }
    std::string known;
    for (const KeyLayout& l : list.layouts)
        known += (known.empty() ? "" : ", ") + l.id;
    status = fail(io, "there is no key layout \"" + id + "\" (" + known + ")");
    return nullptr;
}

int cmdLayouts(Io& io) {
    const layouts::LayoutList list =
        layouts::loadLayouts(layouts::userLayoutFolder(), Language::English);
    for (const KeyLayout& layout : list.layouts) {
        io.out << escapeControlBytes(layout.id) << ": " << escapeControlBytes(layout.english);
        if (!layout.file.empty()) io.out << " (" << escapeControlBytes(layout.file) << ')';
        io.out << '\n';
        if (!layout.aboutEnglish.empty())
            io.out << "  " << escapeControlBytes(layout.aboutEnglish) << '\n';
        for (const LayoutRole& role : layout.roles) {
            io.out << "  " << padded(escapeControlBytes(role.id), 12)
                   << padded(escapeControlBytes(role.english), 26) << keysText(role) << '\n';
        }
    }
    return refusedLayoutsTold(list, io) ? kExitFailure : kExitOk;
}

}  // namespace tessik::cli
