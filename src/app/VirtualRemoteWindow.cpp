#include "app/VirtualRemoteWindow.hpp"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/QtText.hpp"
#include "sim/remote_panel.hpp"
#include "sim/simulated_receiver.hpp"

namespace tessik::app {

namespace {
constexpr int kButtonsPerRow = 6;
constexpr int kMaxNoisePercent = 20;
constexpr int kLogLines = 1000;  // the oldest go first
// Small enough to fit beside the main window at 200 % on a 1920 x 1080 screen.
constexpr int kMinimumWidth = 280;
constexpr int kMinimumHeight = 240;
}  // namespace

VirtualRemoteWindow::VirtualRemoteWindow(sim::SimulatedReceiver& receiver, Language language,
                                         QWidget* parent)
    : QWidget(parent, Qt::Window),
      receiver_(receiver),
      reception_(receiver),
      language_(language),
      noise_(new QSpinBox),
      log_(new QPlainTextEdit),
      plug_(new QPushButton) {
    setObjectName("virtualRemote");
    setWindowTitle(qs(sim::panelText(sim::PanelText::Caption, language)));
    // Closing the main window ends the program even while this one is open.
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* remotes = new QVBoxLayout;
    for (const sim::VirtualRemote* remote : sim::knownRemotes()) {
        auto* group = new QGroupBox(qs(remote->name));
        group->setObjectName(qs(remote->name));
        auto* grid = new QGridLayout(group);
        int i = 0;
        for (const sim::RemoteButton& b : remote->buttons) {
            auto* button = new QPushButton(qs(b.name));
            button->setObjectName(qs(remote->name) + ':' + qs(b.name));
            button->setAutoDefault(false);
            const std::string_view name = b.name;
            connect(button, &QPushButton::clicked, this,
                    [this, remote, name] { press(*remote, name); });
            grid->addWidget(button, i / kButtonsPerRow, i % kButtonsPerRow);
            ++i;
        }
        remotes->addWidget(group);
    }
    remotes->addStretch(1);

    noise_->setObjectName("timingNoise");
    noise_->setRange(0, kMaxNoisePercent);
    noise_->setValue(0);
    noise_->setSuffix(QStringLiteral(" %"));
    auto* noiseLabel = new QLabel(qs(sim::panelText(sim::PanelText::TimingNoise, language)));
    noiseLabel->setBuddy(noise_);
    auto* noiseRow = new QHBoxLayout;
    noiseRow->addWidget(noiseLabel);
    noiseRow->addWidget(noise_);
    noiseRow->addStretch(1);

    log_->setObjectName("pressLog");
    log_->setReadOnly(true);
    log_->setTabChangesFocus(true);  // Tab leaves the log, as from every other control
    log_->setMaximumBlockCount(kLogLines);
    auto* logLabel = new QLabel(qs(sim::panelText(sim::PanelText::Log, language)));
    logLabel->setBuddy(log_);
    log_->setMinimumWidth(340);

    plug_->setObjectName("plugButton");
    plug_->setAutoDefault(false);
    connect(plug_, &QPushButton::clicked, this, &VirtualRemoteWindow::togglePlug);
    showPlugState();
    noiseRow->addWidget(plug_);

    auto* side = new QVBoxLayout;
    side->addLayout(noiseRow);
    side->addWidget(logLabel);
    side->addWidget(log_, 1);

    // The remotes and the log scroll, so the window can shrink to fit beside the main window
    // on a small screen or at a large scale and stay usable there.
    auto* content = new QWidget;
    auto* layout = new QHBoxLayout(content);
    layout->addLayout(remotes);
    layout->addLayout(side, 1);
    scroll_ = new QScrollArea;
    scroll_->setWidget(content);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll_);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
}

QSize VirtualRemoteWindow::sizeHint() const {
    // All of it without scrolling.
    return scroll_->widget()->sizeHint() +
           QSize(scroll_->verticalScrollBar()->sizeHint().width(),
                 scroll_->horizontalScrollBar()->sizeHint().height());
}

void VirtualRemoteWindow::press(const sim::VirtualRemote& remote, std::string_view button) {
    const sim::TimingNoise noise{static_cast<double>(noise_->value()), seed_++};
    const sim::PressResult result = reception_.press(remote, button, noise);
    reception_.clearTyped();  // the log line keeps what this press typed
    log_->appendPlainText(
        qs(sim::pressLogLine(remote, button, result, receiver_.table(), language_)));
}

namespace {

// Out of the computer, or there but not showing itself on the bus: the same to its user.
bool receiverOut(sim::SimulatedReceiver& receiver) {
    return !receiver.plugged() || receiver.faults().absent;
}

}  // namespace

void VirtualRemoteWindow::togglePlug() {
    const bool out = receiverOut(receiver_);
    if (out) {
        receiver_.faults().absent = false;
        receiver_.plug();
    } else {
        receiver_.unplug();
    }
    log_->appendPlainText(
        qs(sim::panelText(out ? sim::PanelText::PluggedIn : sim::PanelText::Unplugged, language_)));
    showPlugState();
}

void VirtualRemoteWindow::showPlugState() {
    plug_->setText(qs(sim::panelText(
        receiverOut(receiver_) ? sim::PanelText::PlugIn : sim::PanelText::Unplug, language_)));
}

}  // namespace tessik::app
