#include "app/m_About.hpp"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "app/AppIcon.hpp"
#include "app/ProgramInfo.hpp"
#include "app/QtText.hpp"
#include "core/firmware/uf_header.hpp"
#include "core/text/format.hpp"
#include "core/text/ui_texts.hpp"

namespace tessik::app {

std::string firmwareVersionLine(const VersionArea& a) {
    const UfHeader h = decodeUfHeader(a);
    return formatText(label(Label::AboutFirmware, Language::English),
                      {h.versionMajor, h.versionMinor, h.versionThird});
}

m_About::m_About(const VersionArea& versionArea, Language language, QWidget* parent)
    : QDialog(parent) {
    setObjectName("aboutDialog");
    setWindowTitle(qs(caption(DialogId::About, language)));

    auto* icon = new QLabel;
    icon->setPixmap(applicationIcon().pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);

    auto* description =
        new QLabel(qs(std::string(programDescription(language)) + " ver " + programVersion()));
    description->setObjectName("descriptionText");
    auto* firmware = new QLabel(qs(firmwareVersionLine(versionArea)));
    firmware->setObjectName("firmwareText");
    auto* legal = new QLabel(qs(legalNotice(language)));
    legal->setObjectName("legalText");

    auto* buttons = new QDialogButtonBox;
    auto* ok = buttons->addButton(qs(label(Label::Ok, language)), QDialogButtonBox::AcceptRole);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(16);
    grid->addWidget(icon, 0, 0, 3, 1);
    grid->addWidget(description, 0, 1);
    grid->addWidget(firmware, 1, 1);
    grid->addWidget(legal, 2, 1);
    grid->addWidget(buttons, 3, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tessik::app
