#pragma once
// "Macro registration": one macro's name, the pause between its commands and its up to eight
// commands, each edited in the send-string editor. A view over the core's MacroRegistration.
//
// Commands reach the table as soon as the editor stores them; the name and the interval only
// through "Close" (the accepted result), so Esc keeps the commands but not a changed name.

#include <QDialog>
#include <memory>

#include "app/DialogService.hpp"
#include "core/keys/macro_rules.hpp"
#include "core/keys/send_string_editor.hpp"
#include "core/text/language.hpp"

class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;

namespace tessik::app {

class InputMacro : public QDialog {
    Q_OBJECT
  public:
    InputMacro(RemoteModel& model, DialogService& dialogs, Language language, std::size_t macro,
               QWidget* parent = nullptr);
    ~InputMacro() override;

  public slots:
    void accept() override;  // "Close": the name and the interval reach the table

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void buildControls();
    void addCommand();
    void editCommand();
    void deleteCommand();
    void openEditor(EditMode mode, std::size_t command);
    void intervalChanged(int proposed);
    void mirror();

    RemoteModel& model_;
    DialogService& dialogs_;
    Language language_;
    std::unique_ptr<MacroRegistration> registration_;
    std::shared_ptr<void> subscription_;

    QLineEdit* name_ = nullptr;
    QSpinBox* interval_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* delete_ = nullptr;
};

}  // namespace tessik::app
