#pragma once
// "Import IR Codes": what importing an IR code file would do, before anything is added. One row
// per signal of the file with its name, protocol, code and verdict; each signal that can be
// added has a check box (all checked at first). Import closes the dialog accepted, and the
// caller adds the checked signals; Cancel adds nothing. The verdicts are the core's
// (signal_import.hpp); this window only shows them.

#include <QDialog>
#include <vector>

#include "core/ir/signal_import.hpp"
#include "core/text/language.hpp"

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

  private:
    void countChosen();

    Language language_;
    QTreeWidget* view_;
    QLabel* summary_;
    QPushButton* import_;
};

}  // namespace tessik::app
