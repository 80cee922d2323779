#pragma once
// "Name Input": asks for the remote control's name when a new table is started.

#include <QDialog>
#include <string>

#include "core/text/language.hpp"

class QLineEdit;

namespace tessik::app {

class CNameDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CNameDlg(Language language, QWidget* parent = nullptr);

    // The text of the edit (at most 256 characters).
    std::u16string name() const;
    // Fills the edit (Rename starts from the current name).
    void setName(std::u16string_view name);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QLineEdit* edit_;
};

}  // namespace tessik::app
