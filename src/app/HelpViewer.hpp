#pragma once
// The help window: our own HTML help pages, "Ir_Help" under a Japanese UI and "Ir_Help_e"
// under every other language, shown from their index. Modeless; Help opens it and returns.

#include <QDialog>
#include <QStringList>
#include <optional>

#include "core/text/language.hpp"

class QTextBrowser;

namespace tessik::app {

// The folders searched for the help pages, in order: beside the installed program
// (../share/tessik/help), the configured install folder, and last the source tree, so that an
// installed program shows its own pages even where the tree it was built from still lies.
QStringList helpSearchFolders();

// The index page of the help set for `language`, when one of the folders holds it.
std::optional<QString> findHelpIndex(Language language, const QStringList& folders);

class HelpViewer : public QDialog {
    Q_OBJECT
  public:
    HelpViewer(Language language, QStringList folders, QWidget* parent = nullptr);

    // Shows the index page (or, when the pages are missing, where they were looked for).
    void showIndex();

    QTextBrowser* browser() const { return browser_; }

  private:
    Language language_;
    QStringList folders_;
    QTextBrowser* browser_;
};

}  // namespace tessik::app
