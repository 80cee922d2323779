#pragma once
// A combo box whose entries a screen reader can choose: it selects an entry of the closed list
// through the item's toggle action, and the selection then changes without the list being
// shown; that is a choice too, as a click on the entry is. (With the list open, moving through
// it only chooses on Enter or a click, as always.)

#include <QObject>

class QComboBox;

namespace tessik::app {

class ComboChoice : public QObject {
    Q_OBJECT
  public:
    // Follows `combo`'s list, whose child it becomes.
    explicit ComboChoice(QComboBox* combo);
};

}  // namespace tessik::app
