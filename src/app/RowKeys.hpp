#pragma once
// The keys of a list of rows, the same in every list of the tool: Enter or F2 opens the
// selected row's editor (as a double-click does), Delete deletes it (after the list's own
// question), and the Menu key, Shift+F10 or a right click open the row's context menu. Enter
// anywhere else in a window keeps its meaning there.

#include <QObject>
#include <QPoint>
#include <functional>

class QAbstractItemView;

namespace tessik::app {

class RowKeys : public QObject {
    Q_OBJECT
  public:
    struct Actions {
        std::function<void()> edit;
        std::function<void()> remove;
        // Shows the context menu at `where` (the view's viewport coordinates).
        std::function<void(QPoint where)> menu;
    };

    // Installs itself on `view`, whose child it becomes.
    RowKeys(QAbstractItemView* view, Actions actions);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPoint currentRowPoint() const;

    QAbstractItemView* view_;
    Actions actions_;
};

}  // namespace tessik::app
