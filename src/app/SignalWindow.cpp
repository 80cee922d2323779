#include "app/SignalWindow.hpp"

#include <QLabel>
#include <QVBoxLayout>

#include "app/QtText.hpp"
#include "app/SignalView.hpp"
#include "core/analysis/signal_trace.hpp"
#include "core/analysis/texts.hpp"
#include "core/text/ui_texts.hpp"

namespace tessik::app {

SignalWindow::SignalWindow(Language language, QWidget* parent)
    : QWidget(parent, Qt::Window),
      language_(language),
      heading_(new QLabel),
      view_(new SignalView(language)) {
    setObjectName("signalWindow");
    setWindowTitle(qs(caption(DialogId::Signal, language)));
    heading_->setObjectName("signalHeading");
    heading_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(view_);
    layout->addStretch(1);
    showNothing();
}

void SignalWindow::showCode(std::size_t slot, const CodeRecord& code, const RemoteHeader& header,
                            std::int32_t jitterPercent) {
    heading_->setText(qs(signalHeadingText(slot, code, jitterPercent, language_)));
    view_->setTraces({codeTrace(code, header, jitterPercent)});
}

void SignalWindow::showNothing() {
    heading_->setText(qs(signalText(SignalText::NoRow, language_)));
    view_->setTraces({});
}

}  // namespace tessik::app
