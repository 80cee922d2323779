#include "app/DialogService.hpp"

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

}  // namespace tessik::app
