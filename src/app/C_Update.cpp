#include "app/C_Update.hpp"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>
#include <string>

#include "app/QtText.hpp"
#include "core/text/ui_texts.hpp"

namespace tessik::app {
namespace {

QLabel* lineLabel(const char* objectName) {
    auto* l = new QLabel;
    l->setObjectName(objectName);
    l->setTextFormat(Qt::PlainText);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

}  // namespace

FileDialogRequest firmwareImageDialog() {
    return FileDialogRequest{FileDialogKind::Open, "bin file(*.bin);;全て(*.*)", "bin"};
}

C_Update::C_Update(HidTransport& transport, Clock& clock, UpdateHost& host, DialogService& dialogs,
                   Language language, QWidget* parent)
    : QDialog(parent),
      clock_(clock),
      host_(host),
      dialogs_(dialogs),
      language_(language),
      link_(transport, clock),
      image_(std::make_unique<ImageBuffer>()) {
    setObjectName("updateDialog");
    setWindowTitle(qs(caption(DialogId::FirmwareUpdate, language)));

    runningText_ = lineLabel("runningFirmwareText");
    runningText_->setText(qs(runningFirmwareText(host_.runningFirmware(), language)));
    path_ = lineLabel("pathText");
    firmware_ = lineLabel("imageFirmwareText");
    size_ = lineLabel("imageSizeText");

    // The buttons read the same in both languages.
    auto* fileOpen = new QPushButton(qs(label(Label::UpdateFileOpen, Language::English)));
    fileOpen->setObjectName("fileOpenButton");
    fileOpen->setAutoDefault(false);
    connect(fileOpen, &QPushButton::clicked, this, &C_Update::FileOpen);
    update_ = new QPushButton(qs(label(Label::UpdateUpdate, Language::English)));
    update_->setObjectName("updateButton");
    update_->setAutoDefault(false);
    update_->setEnabled(false);
    connect(update_, &QPushButton::clicked, this, &C_Update::Update);
    auto* close = new QPushButton(qs(label(Label::Close, Language::English)));
    close->setObjectName("closeButton");
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    progress_ = new QProgressBar;
    progress_->setObjectName("updateProgress");
    progress_->setAccessibleName(qs(label(Label::Progress, language)));
    progress_->setRange(0, 1);  // empty until an update sets the image's range
    progress_->setValue(0);

    log_ = new QPlainTextEdit;
    log_->setObjectName("updateLog");
    log_->setAccessibleName(qs(label(Label::UpdateLog, language)));
    log_->setReadOnly(true);
    log_->setTabChangesFocus(true);  // a keyboard user leaves it with Tab as any control
    log_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    log_->setLineWrapMode(QPlainTextEdit::NoWrap);
    log_->setMinimumSize(460, 150);

    auto* grid = new QGridLayout;
    grid->addWidget(runningText_, 0, 0, 1, 2);
    grid->addWidget(fileOpen, 1, 0);
    grid->addWidget(path_, 1, 1);
    grid->addWidget(firmware_, 2, 0, 1, 2);
    grid->addWidget(size_, 3, 0, 1, 2);
    grid->addWidget(update_, 4, 0);
    grid->addWidget(progress_, 4, 1);
    grid->setColumnStretch(1, 1);
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(log_, 1);
    layout->addLayout(closeRow);
}

C_Update::~C_Update() {
    link_.Close();
}

void C_Update::FileOpen() {
    if (running_) return;
    load_ = ImageLoad{};
    showLoad();
    const auto path = dialogs_.chooseFile(firmwareImageDialog());
    if (!path || path->empty()) return;
    load_ = loadUpdateImage(*path, *image_);
    showLoad();
    appendLog(load_.log);
}

void C_Update::showLoad() {
    path_->setText(qs(load_.pathText));
    firmware_->setText(qs(load_.firmwareText));
    size_->setText(qs(load_.sizeText));
    update_->setEnabled(load_.updateEnabled);
}

void C_Update::Update() {
    if (running_ || !load_.updateEnabled) return;
    running_ = true;
    tessik::FirmwareUpdate update(link_, clock_, *this, host_);
    const UpdateResult result = update.Update(*image_, load_.imageType);
    running_ = false;
    // The new firmware, as it answered after the hand-back.
    if (result.outcome == UpdateOutcome::Succeeded) {
        runningText_->setText(qs(runningFirmwareText(host_.runningFirmware(), language_)));
    }
    dialogs_.show(updateVerdict(result, language_));
    // The same image can be written again, whatever the outcome.
    update_->setEnabled(load_.updateEnabled);
}

// The log is only ever added to: the lines of every load and update while the dialog is open.
void C_Update::appendLog(std::string_view text) {
    if (text.empty()) return;
    QString added = qs(text);
    added.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextCursor end(log_->document());
    end.movePosition(QTextCursor::End);
    end.insertText(added);
    log_->verticalScrollBar()->setValue(log_->verticalScrollBar()->maximum());
    log_->viewport()->repaint();
}

void C_Update::setProgressRange(int lowest, int highest) {
    progress_->setRange(lowest, highest);
}

void C_Update::setProgress(int position) {
    progress_->setValue(position);
}

void C_Update::repaintProgress() {
    progress_->repaint();
}

void C_Update::done(int result) {
    if (running_) return;
    QDialog::done(result);
}

void C_Update::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace tessik::app
