#include "app/c_SetCode.hpp"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/QtText.hpp"
#include "core/procedures/set_up_data.hpp"
#include "core/text/ui_texts.hpp"

namespace tessik::app {

c_SetCode::c_SetCode(DeviceCommands& commands, const RemoteModel& model, Notifier& notifier,
                     Language language, QWidget* parent)
    : QDialog(parent),
      commands_(commands),
      model_(model),
      notifier_(notifier),
      language_(language) {
    setObjectName("setUpDialog");
    setWindowTitle(qs(caption(DialogId::SetUp, language)));

    progress_ = new QProgressBar;
    progress_->setObjectName("setUpProgress");
    progress_->setAccessibleName(qs(label(Label::Progress, language)));
    progress_->setRange(0, kSetUpProgressMax);
    progress_->setValue(0);
    progress_->setMinimumWidth(300);

    set_ = new QPushButton(qs(label(Label::SetUpSet, language)));
    set_->setObjectName("setButton");
    // Enter ends the dialog (Close is the default button), also while SET has the focus.
    set_->setAutoDefault(false);
    connect(set_, &QPushButton::clicked, this, &c_SetCode::Set);
    auto* close = new QPushButton(qs(label(Label::Close, language)));
    close->setObjectName("closeButton");
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(set_);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(progress_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void c_SetCode::Set() {
    if (running_) return;
    running_ = true;
    const SetUpResult result =
        runSetUpData(commands_, model_, [this](int position) { showProgress(position); });
    running_ = false;
    // The failed exchange's own box first, then the run's.
    showDeviceOutcome(notifier_, result.device, language_);
    if (const auto verdict = setUpVerdict(result, model_, language_)) notifier_.show(*verdict);
}

// Painted at once: the run holds the thread between exchanges, so a queued paint would only
// show the end.
void c_SetCode::showProgress(int position) {
    // The position after Save lies one past the end; the bar shows full.
    progress_->setValue(std::min(position, progress_->maximum()));
    progress_->repaint();
}

void c_SetCode::done(int result) {
    if (running_) return;
    QDialog::done(result);
}

void c_SetCode::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace tessik::app
