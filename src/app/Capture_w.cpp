#include "app/Capture_w.hpp"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

#include "app/QtText.hpp"
#include "app/SignalView.hpp"
#include "core/text/ui_texts.hpp"

namespace tessik::app {

namespace {
constexpr int kCommentMax = 128;
}

Capture_w::Capture_w(CUsbhidioc& link, DeviceCommands& commands, LogSink& log, RemoteModel& model,
                     Notifier& notifier, Language language, std::optional<std::size_t> recapture,
                     QWidget* parent)
    : QDialog(parent),
      prompt_(new QLabel),
      result_(new QLabel),
      analysis_(new QLabel),
      warning_(new QLabel),
      signal_(new SignalView(language)),
      comment_(new QLineEdit),
      next_(new QPushButton(qs(label(Label::CaptureNext, language)))),
      timer_(new QTimer(this)),
      session_(link, commands, log, model, *this, notifier, language, recapture) {
    setObjectName("captureDialog");
    setWindowTitle(qs(caption(DialogId::Capture, language)));

    prompt_->setObjectName("capturePrompt");
    prompt_->setAlignment(Qt::AlignCenter);
    prompt_->setWordWrap(true);
    prompt_->setMinimumWidth(360);
    result_->setObjectName("captureResult");
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    for (QLabel* line : {analysis_, warning_}) {
        line->setWordWrap(true);
        line->setVisible(false);
    }
    analysis_->setObjectName("captureAnalysis");
    analysis_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    warning_->setObjectName("captureWarning");

    auto* resultLabel = new QLabel(qs(label(Label::CaptureResult, language)));

    comment_->setObjectName("captureComment");
    comment_->setMaxLength(kCommentMax);
    auto* commentLabel = new QLabel(qs(label(Label::CaptureComment, language)));
    commentLabel->setBuddy(comment_);

    next_->setObjectName("nextButton");
    next_->setEnabled(false);
    // Enter does nothing here: no button is the default one.
    next_->setAutoDefault(false);
    connect(next_, &QPushButton::clicked, this, &Capture_w::Next);
    auto* close = new QPushButton(qs(label(Label::Close, language)));
    close->setObjectName("closeButton");
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &Capture_w::reject);

    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] { session_.timerFired(); });

    auto* fields = new QGridLayout;
    fields->addWidget(resultLabel, 0, 0);
    fields->addWidget(result_, 0, 1);
    fields->addWidget(analysis_, 1, 1);
    fields->addWidget(warning_, 2, 1);
    fields->addWidget(signal_, 3, 0, 1, 2);
    fields->addWidget(commentLabel, 4, 0);
    fields->addWidget(comment_, 4, 1);
    fields->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(next_);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
    layout->addLayout(fields);
    layout->addLayout(buttons);
}

// The session's texts are painted at once: an exchange holds the thread, and a queued paint
// would only show what follows it.
void Capture_w::setPrompt(std::string_view text) {
    prompt_->setText(qs(text));
    prompt_->repaint();
}

void Capture_w::setResult(std::string_view text) {
    result_->setText(qs(text));
    result_->repaint();
}

void Capture_w::setAnalysis(std::string_view code, std::string_view warning) {
    analysis_->setText(qs(code));
    analysis_->setVisible(!code.empty());
    warning_->setText(qs(warning));
    warning_->setVisible(!warning.empty());
    // The lines come and go with each button: the window takes the height they need.
    adjustSize();
}

void Capture_w::setSignal(std::span<const SignalTrace> presses) {
    signal_->setTraces({presses.begin(), presses.end()});
    signal_->viewport()->repaint();
}

void Capture_w::setNextEnabled(bool enabled) {
    next_->setEnabled(enabled);
}

void Capture_w::setComment(std::u16string_view text) {
    comment_->setText(qs(text));
}

void Capture_w::focusComment() {
    comment_->setFocus();
}

std::u16string Capture_w::comment() const {
    return u16(comment_->text());
}

void Capture_w::startTimer(std::uint32_t ms) {
    timer_->start(static_cast<int>(ms));
}

void Capture_w::stopTimer() {
    timer_->stop();
}

void Capture_w::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    session_.shown();
}

void Capture_w::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Capture_w::Next() {
    session_.next();
}

void Capture_w::reject() {
    session_.close();
    QDialog::reject();
}

}  // namespace tessik::app
