#pragma once
// "Import IR Codes": what importing an IR code file would do, before anything is added. The
// signals stand under the remote they come from, one row each with its name, protocol, code and
// verdict; a filter box narrows the rows, Select all and Select none act on the rows shown.
// Import closes the dialog accepted and the caller adds the chosen signals, with the keys of the
// chosen key layout; Cancel adds nothing. The grouping, the choice, the verdicts and the roles
// are the core's (import_choice.hpp, layout_import.hpp); this window shows them and passes the
// user's choices on.
//
// A row is chosen by selecting it: a click, Space, or an assistive tool's toggle (which acts on
// a row's selection) all choose or clear it alike, and its check box shows the choice. A
// remote's row chooses or clears the shown signals under it.

#include <QDialog>
#include <string>
#include <vector>

#include "core/ir/import_choice.hpp"
#include "core/layouts/key_layout.hpp"
#include "core/text/language.hpp"

class QComboBox;
class QItemSelection;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace tessik::app {

class ImportDlg : public QDialog {
    Q_OBJECT
  public:
    // `fileName` stands for the signals of a file that names no remote.
    ImportDlg(ImportChoice& choice, std::string fileName, Language language,
              QWidget* parent = nullptr);

    // Offers the key layouts: a choice above the list (none at first) and a column with the
    // keys each named signal would get from the chosen one. `refused` are the user's layout
    // files that are not valid, told under the choice. The layouts must outlive the dialog.
    void offerLayouts(const std::vector<KeyLayout>& layouts,
                      const std::vector<std::string>& refused);
    // The chosen layout; nullptr for none.
    const KeyLayout* chosenLayout() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void fillRows();
    void showKeys();
    void showChoice();
    void takeSelection(const QItemSelection& selected, const QItemSelection& deselected);

    ImportChoice& choice_;
    std::string fileName_;
    Language language_;
    const std::vector<KeyLayout>* layouts_ = nullptr;
    QComboBox* layoutChoice_ = nullptr;
    QLineEdit* filter_;
    QTreeWidget* view_;
    QLabel* summary_;
    QPushButton* import_;
    bool showing_ = false;  // the rows are being set from the core, not by the user
};

}  // namespace tessik::app
