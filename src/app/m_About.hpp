#pragma once
// "Software Version": the program's description and version, its legal notice and the version
// of the firmware running in the receiver, as the last Get Version reply left it in the
// version area (all zero without a device).

#include <QDialog>

#include "core/device/commands.hpp"
#include "core/text/language.hpp"

namespace tessik::app {

class m_About : public QDialog {
    Q_OBJECT
  public:
    m_About(const VersionArea& versionArea, Language language, QWidget* parent = nullptr);
};

// "Firmware Ver %d.%d.%d" from the version numbers of the firmware's uf_header.
std::string firmwareVersionLine(const VersionArea& versionArea);

}  // namespace tessik::app
