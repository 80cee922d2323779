#include "app/CNameDlg.hpp"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/QtText.hpp"
#include "core/model/records.hpp"
#include "core/text/ui_texts.hpp"

namespace tessik::app {

CNameDlg::CNameDlg(Language language, QWidget* parent) : QDialog(parent) {
    setObjectName("nameDialog");
    setWindowTitle(qs(caption(DialogId::Name, language)));

    auto* label = new QLabel(qs(tessik::label(Label::NameEdit, language)));
    edit_ = new QLineEdit;
    edit_->setObjectName("nameEdit");
    edit_->setMaxLength(static_cast<int>(kMaxRemoteNameChars));
    edit_->setMinimumWidth(280);
    label->setBuddy(edit_);

    auto* buttons = new QDialogButtonBox;
    auto* ok =
        buttons->addButton(qs(tessik::label(Label::Ok, language)), QDialogButtonBox::AcceptRole);
    auto* cancel = buttons->addButton(qs(tessik::label(Label::Cancel, language)),
                                      QDialogButtonBox::RejectRole);
    ok->setObjectName("okButton");
    cancel->setObjectName("cancelButton");
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(edit_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

std::u16string CNameDlg::name() const {
    return u16(edit_->text());
}

void CNameDlg::setName(std::u16string_view name) {
    edit_->setText(qs(name));
    edit_->selectAll();
}

void CNameDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    edit_->setFocus();
}

}  // namespace tessik::app
