#pragma once
// "Import IR Codes": what importing an IR code file would do, before anything is added. One row
// per signal of the file with its name, protocol, code and verdict; each signal that can be
// added has a check box (all checked at first). Import closes the dialog accepted, and the
// caller adds the checked signals, with the keys of the chosen key layout; Cancel adds nothing.
// The verdicts and the roles are the core's (signal_import.hpp, layout_import.hpp); this
// window only shows them.

#include <QDialog>
#include <string>
#include <vector>

#include "core/ir/signal_import.hpp"
#include "core/layouts/key_layout.hpp"
#include "core/text/language.hpp"

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace tessik::app {

class ImportDlg : public QDialog {
    Q_OBJECT
  public:
    ImportDlg(const std::vector<ImportItem>& items, Language language, QWidget* parent = nullptr);

    // One entry per item: checked (only importable ones can be).
    std::vector<bool> chosen() const;

    // Offers the key layouts: a choice above the list (none at first) and a column with the
    // keys each named signal would get from the chosen one. `refused` are the user's layout
    // files that are not valid, told under the choice. The layouts must outlive the dialog.
    void offerLayouts(const std::vector<KeyLayout>& layouts,
                      const std::vector<std::string>& refused);
    // The chosen layout; nullptr for none.
    const KeyLayout* chosenLayout() const;

  private:
    void countChosen();
    void showKeys();

    Language language_;
    const std::vector<ImportItem>& items_;
    const std::vector<KeyLayout>* layouts_ = nullptr;
    QComboBox* layoutChoice_ = nullptr;
    QTreeWidget* view_;
    QLabel* summary_;
    QPushButton* import_;
};

}  // namespace tessik::app
