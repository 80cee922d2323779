#include "app/QtDialogService.hpp"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

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

namespace {

void prepare(QFileDialog& dialog, const FileDialogRequest& request) {
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
}

std::optional<std::filesystem::path> chosenFile(const QFileDialog& dialog) {
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
    return toPath(files.front());
}

// "LIRC configuration (*.conf)" -> "conf": the suffix a name typed under the filter gets.
QString filterSuffix(const QString& filter) {
    const qsizetype star = filter.indexOf(QStringLiteral("(*."));
    if (star < 0) return {};
    const qsizetype end = filter.indexOf(QRegularExpression(QStringLiteral("[ )]")), star + 3);
    return filter.mid(star + 3, end < 0 ? -1 : end - star - 3);
}

}  // namespace

std::optional<std::filesystem::path> QtDialogService::chooseFile(const FileDialogRequest& request) {
    QFileDialog dialog(visibleOrNull(parent_));
    prepare(dialog, request);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return chosenFile(dialog);
}

std::optional<FileChoice> QtDialogService::chooseSaveFormat(const FileDialogRequest& request) {
    QFileDialog dialog(visibleOrNull(parent_));
    prepare(dialog, FileDialogRequest{FileDialogKind::Save, request.filter, {}});
    dialog.setDefaultSuffix(filterSuffix(dialog.nameFilters().value(0)));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& f) { dialog.setDefaultSuffix(filterSuffix(f)); });
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const auto path = chosenFile(dialog);
    if (!path) return std::nullopt;
    const qsizetype filter = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
    return FileChoice{*path, static_cast<std::size_t>(filter < 0 ? 0 : filter)};
}

}  // namespace tessik::app
