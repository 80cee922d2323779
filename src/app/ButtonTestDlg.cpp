#include "app/ButtonTestDlg.hpp"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

#include "app/QtText.hpp"
#include "core/text/ui_texts.hpp"

namespace tessik::app {

ButtonTestDlg::ButtonTestDlg(CUsbhidioc& link, DeviceCommands& commands, LogSink& log,
                             const RemoteModel& model, Notifier& notifier, Language language,
                             std::function<void(std::size_t)> showRow, QWidget* parent)
    : QDialog(parent),
      prompt_(new QLabel),
      lines_(new QListWidget),
      timer_(new QTimer(this)),
      showRow_(std::move(showRow)),
      session_(link, commands, log, model, *this, notifier, language) {
    setObjectName("buttonTestDialog");
    setWindowTitle(qs(caption(DialogId::ButtonTest, language)));

    prompt_->setObjectName("testPrompt");
    prompt_->setWordWrap(true);
    prompt_->setMinimumWidth(400);
    lines_->setObjectName("testLines");
    lines_->setWordWrap(true);  // a line names the protocol of a press from another remote
    lines_->setMinimumHeight(160);
    auto* linesLabel = new QLabel(qs(label(Label::TestPresses, language)));
    linesLabel->setBuddy(lines_);

    auto* close = new QPushButton(qs(label(Label::Close, language)));
    close->setObjectName("closeButton");
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &ButtonTestDlg::reject);

    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] { session_.timerFired(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
    layout->addWidget(linesLabel);
    layout->addWidget(lines_, 1);
    layout->addLayout(buttons);
}

void ButtonTestDlg::setPrompt(std::string_view text) {
    prompt_->setText(qs(text));
    prompt_->repaint();  // an exchange holds the thread; a queued paint would come too late
}

// The newest line is the current one, so it is in view and a screen reader reads it.
void ButtonTestDlg::addLine(std::string_view text) {
    lines_->addItem(qs(text));
    lines_->setCurrentRow(lines_->count() - 1);
}

void ButtonTestDlg::showRow(std::size_t slot) {
    if (showRow_) showRow_(slot);
}

void ButtonTestDlg::startTimer(std::uint32_t ms) {
    timer_->start(static_cast<int>(ms));
}

void ButtonTestDlg::stopTimer() {
    timer_->stop();
}

void ButtonTestDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!session_.closed() && !session_.polling() && !session_.receiverGone()) session_.shown();
}

void ButtonTestDlg::reject() {
    session_.close();
    QDialog::reject();
}

}  // namespace tessik::app
