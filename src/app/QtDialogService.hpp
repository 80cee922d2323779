#pragma once
// The DialogService of the running program: QMessageBox and the platform's file dialogs.

#include <QPointer>
#include <QWidget>

#include "app/DialogService.hpp"

namespace tessik::app {

class QtDialogService : public DialogService {
  public:
    // Boxes and dialogs are centred on `parent` while it is shown.
    void setParent(QWidget* parent) { parent_ = parent; }

    Answer show(const Message& message) override;
    std::optional<std::filesystem::path> chooseFile(const FileDialogRequest& request) override;
    std::optional<FileChoice> chooseSaveFormat(const FileDialogRequest& request) override;

  private:
    QPointer<QWidget> parent_;
};

}  // namespace tessik::app
