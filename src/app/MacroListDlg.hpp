#pragma once
// "Macro List": every macro in use, with its interval and its commands, and the place where
// macros are added, opened for editing and deleted. A view over the core's MacroList; deleting
// a macro closes the gap in the macro table and renumbers the buttons that run later macros.

#include <QDialog>
#include <memory>

#include "app/DialogService.hpp"
#include "core/keys/macro_rules.hpp"
#include "core/text/language.hpp"

class QPushButton;
class QTreeWidget;

namespace tessik::app {

class MacroListDlg : public QDialog {
    Q_OBJECT
  public:
    MacroListDlg(RemoteModel& model, DialogService& dialogs, Language language,
                 QWidget* parent = nullptr);
    ~MacroListDlg() override;

  private:
    void buildControls();
    void openMacro(std::optional<std::size_t> slot);
    void deleteMacro();
    void fill();
    void mirrorButtons();

    RemoteModel& model_;
    DialogService& dialogs_;
    Language language_;
    std::unique_ptr<MacroList> list_;
    std::shared_ptr<void> subscription_;

    QTreeWidget* view_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* delete_ = nullptr;
};

}  // namespace tessik::app
