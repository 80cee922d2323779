#include "app/Set_Jitter.hpp"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "app/QtText.hpp"
#include "core/analysis/texts.hpp"
#include "core/text/format.hpp"
#include "core/text/strings.hpp"
#include "core/text/ui_texts.hpp"

namespace tessik::app {

Set_Jitter::Set_Jitter(RemoteModel& model, Language language, QWidget* parent)
    : QDialog(parent), model_(model), language_(language) {
    setObjectName("jitterDialog");
    setWindowTitle(qs(caption(DialogId::Jitter, language)));

    label_ = new QLabel(qs(label(Label::JitterTemplate, language)));
    label_->setObjectName("jitterLabel");
    slider_ = new QSlider(Qt::Horizontal);
    slider_->setObjectName("jitterSlider");
    slider_->setRange(kJitterMin, kJitterMax);
    slider_->setPageStep(1);
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setTickInterval(1);
    slider_->setMinimumWidth(260);
    slider_->setAccessibleName(qs(label(Label::JitterSlider, language)));
    label_->setBuddy(slider_);
    verdict_ = new QLabel;
    verdict_->setObjectName("jitterVerdict");
    verdict_->setWordWrap(true);
    verdict_->setMinimumWidth(slider_->minimumWidth());
    // A stored value outside 5..20 (from a data file) puts the slider at the nearer end, but
    // the label shows the stored value until the slider moves.
    slider_->setValue(model.jitterPercent());
    showJitter(model.jitterPercent());
    connect(slider_, &QSlider::valueChanged, this, &Set_Jitter::showJitter);

    auto* buttons = new QDialogButtonBox;
    auto* ok = buttons->addButton(qs(label(Label::Ok, language)), QDialogButtonBox::AcceptRole);
    auto* cancel =
        buttons->addButton(qs(label(Label::Cancel, language)), QDialogButtonBox::RejectRole);
    ok->setObjectName("okButton");
    cancel->setObjectName("cancelButton");
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(slider_);
    layout->addWidget(verdict_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void Set_Jitter::setPressSpread(std::optional<double> percent) {
    spread_ = percent;
    showVerdict();
}

void Set_Jitter::showJitter(int percent) {
    label_->setText(qs(formatText(text(StringId::JitterLabel, language_), {percent})));
    showVerdict();
}

// The verdict is for the slider's value: what OK would store.
void Set_Jitter::showVerdict() {
    verdict_->setText(qs(jitterVerdictText(model_.header(), slider_->value(), spread_, language_)));
}

void Set_Jitter::accept() {
    const int chosen = slider_->value();
    // A changed jitter is part of the table: an edit, so Exit, New and Open ask before it is
    // lost, and Undo takes it back.
    model_.setJitter(chosen);
    QDialog::accept();
}

}  // namespace tessik::app
