#include "app/QtDialogService.hpp"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "app/QtText.hpp"

namespace tessik::app {
namespace {

QWidget* visibleOrNull(QWidget* w) {
    return w != nullptr && w->isVisible() ? w : nullptr;
}

}  // namespace

Answer QtDialogService::show(const Message& message) {
    const QString caption =
        message.caption.empty() ? QCoreApplication::applicationName() : qs(message.caption);
    QMessageBox::Icon icon = QMessageBox::Information;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    if (message.kind == MessageKind::Question) {
        icon = QMessageBox::Question;
        buttons = QMessageBox::Ok | QMessageBox::Cancel;
    } else if (message.kind == MessageKind::Warning) {
        icon = QMessageBox::Warning;
    }
    QMessageBox box(icon, caption, qs(message.text), buttons, visibleOrNull(parent_));
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(message.kind == MessageKind::Question ? QMessageBox::Cancel
                                                              : QMessageBox::Ok);
    // The box's own offer, beside OK: Escape and Enter still mean OK.
    const QAbstractButton* action =
        message.action.empty() ? nullptr
                               : box.addButton(qs(message.action), QMessageBox::AcceptRole);
    box.exec();
    if (action != nullptr && box.clickedButton() == action) return Answer::Action;
    return box.clickedButton() == box.button(QMessageBox::Ok) ? Answer::Ok : Answer::Cancel;
}

std::optional<std::filesystem::path> QtDialogService::chooseFile(const FileDialogRequest& request) {
    QFileDialog dialog(visibleOrNull(parent_));
    dialog.setNameFilter(qs(request.filter));
    dialog.setDefaultSuffix(qs(request.defaultSuffix));
    if (request.kind == FileDialogKind::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);  // the tool asks its own question
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
    return toPath(files.front());
}

}  // namespace tessik::app
