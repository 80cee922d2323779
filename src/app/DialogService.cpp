#include "app/DialogService.hpp"

#include "core/text/format.hpp"
#include "core/text/strings.hpp"

namespace tessik::app {

FileDialogRequest dataFileDialog(FileDialogKind kind) {
    return FileDialogRequest{kind, "IR Data Files (*.ird)", "ird"};
}

bool DialogService::confirm(std::string_view text) {
    return show(Message{{}, std::string(text), MessageKind::Question}) == Answer::Ok;
}

void DialogService::warn(std::string_view text) {
    show(Message{{}, std::string(text), MessageKind::Warning});
}

void DialogService::notify(std::string_view text) {
    show(Message{{}, std::string(text), MessageKind::Notice});
}

bool DialogService::confirmDeleteRow(std::size_t row, Language language) {
    return confirm(formatText(text(StringId::DeleteNumberQuestion, language), {row + 1}));
}

}  // namespace tessik::app
