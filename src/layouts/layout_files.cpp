#include "layouts/layout_files.hpp"

#include <algorithm>
#include <system_error>

#include "core/datafile/data_file.hpp"
#include "core/text/path_text.hpp"
#include "layouts/json_document.hpp"
#include "platform/user_folders.hpp"

namespace tessik::layouts {
namespace {

// The user's "*.json" files in name order; a folder that cannot be listed is a refusal.
std::vector<std::filesystem::path> userFiles(const std::filesystem::path& folder,
                                             std::vector<LayoutRefusal>& refused) {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    if (folder.empty() || !std::filesystem::exists(folder, ec)) return files;
    std::filesystem::directory_iterator it(folder, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        if (it->path().extension() == ".json") files.push_back(it->path());
    }
    if (ec) refused.push_back({pathToUtf8(folder), 0, ec.message()});
    std::sort(files.begin(), files.end());
    return files;
}

void add(LayoutList& list, KeyLayout layout) {
    for (KeyLayout& known : list.layouts) {
        if (known.id == layout.id) {
            known = std::move(layout);
            return;
        }
    }
    list.layouts.push_back(std::move(layout));
}

}  // namespace

std::string LayoutRefusal::text() const {
    return file + ": " + error;
}

const KeyLayout* LayoutList::find(std::string_view id) const {
    for (const KeyLayout& l : layouts) {
        if (l.id == id) return &l;
    }
    return nullptr;
}

std::filesystem::path userLayoutFolder() {
    const std::filesystem::path data = platform::userDataFolder();
    return data.empty() ? data : data / "layouts";
}

LayoutRead readLayoutFile(const std::filesystem::path& file, Language language) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (readWholeFile(file, bytes, error, kMaxLayoutFileBytes) != ReadOutcome::Read) {
        return {std::nullopt, 0, error};
    }
    const std::string text(bytes.begin(), bytes.end());
    LayoutRead read = readKeyLayout(parseJsonDocument(text), pathToUtf8(file.stem()), language);
    if (read.layout) read.layout->file = pathToUtf8(file);
    return read;
}

LayoutList loadLayouts(const std::filesystem::path& userFolder, Language language) {
    LayoutList list;
    for (const ShippedLayout& shipped : shippedLayoutTexts()) {
        LayoutRead read =
            readKeyLayout(parseJsonDocument(shipped.json), std::string(shipped.id), language);
        // The shipped layouts are checked by the tests; one that fails is left out, as a
        // user's would be.
        if (read.layout) add(list, std::move(*read.layout));
    }
    for (const std::filesystem::path& file : userFiles(userFolder, list.refused)) {
        LayoutRead read = readLayoutFile(file, language);
        if (read.layout) {
            add(list, std::move(*read.layout));
        } else {
            list.refused.push_back({pathToUtf8(file), read.line, read.error});
        }
    }
    return list;
}

}  // namespace tessik::layouts
