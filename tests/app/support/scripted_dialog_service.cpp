#include "app/support/scripted_dialog_service.hpp"

namespace tessik::app {

Answer ScriptedDialogService::show(const Message& message) {
    shown.push_back(message);
    if (message.kind != MessageKind::Question) return Answer::Ok;
    if (answers_.empty()) {
        ++unexpected;
        return Answer::Cancel;
    }
    const Answer a = answers_.front();
    answers_.pop_front();
    return a;
}

std::optional<std::filesystem::path> ScriptedDialogService::chooseFile(
    const FileDialogRequest& request) {
    fileRequests.push_back(request);
    if (files_.empty()) {
        ++unexpected;
        return std::nullopt;
    }
    auto file = files_.front();
    files_.pop_front();
    return file;
}

}  // namespace tessik::app
