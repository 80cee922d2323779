#pragma once
// Every message box and file dialog of the application goes through one DialogService. The
// running program shows real ones (QtDialogService); widget tests answer them from a script
// (the tests' scripted one) and check exactly what was asked.
//
// It is also the core's Notifier, so the device link's own boxes take the same road.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/device/notifier.hpp"
#include "core/text/language.hpp"

namespace tessik::app {

enum class FileDialogKind { Open, Save };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    std::string filter;         // Qt filter syntax: "IR Data Files (*.ird)"
    std::string defaultSuffix;  // appended to a typed name without one
    bool operator==(const FileDialogRequest&) const = default;
};

// The data files' dialogs. The save dialog never asks about overwriting by itself: the tool
// asks its own question (string 121).
FileDialogRequest dataFileDialog(FileDialogKind kind);

// A file chosen in a save dialog that offers several formats, one per filter: the path and the
// index of the filter (the format) it was chosen under.
struct FileChoice {
    std::filesystem::path path;
    std::size_t filter = 0;
    bool operator==(const FileChoice&) const = default;
};

class DialogService : public Notifier {
  public:
    // A message box; an empty caption means the application's title.
    Answer show(const Message& message) override = 0;

    // The chosen file, or nothing when the user cancelled.
    virtual std::optional<std::filesystem::path> chooseFile(const FileDialogRequest& request) = 0;
    // A save dialog over the ";;"-separated filters of `request`, each with its own suffix
    // appended to a typed name without one; nothing when the user cancelled.
    virtual std::optional<FileChoice> chooseSaveFormat(const FileDialogRequest& request) = 0;

    // Shorthands with the application's title as caption.
    bool confirm(std::string_view text);  // OK/Cancel question; true on OK
    void warn(std::string_view text);
    void notify(std::string_view text);
    // "Is No.N deleted?" for list row `row` (0-based), as every list with a Delete asks it.
    bool confirmDeleteRow(std::size_t row, Language language);
};

}  // namespace tessik::app
