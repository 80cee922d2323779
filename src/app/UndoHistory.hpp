#pragma once
// The window's undo history: every edit the model records becomes one entry of a QUndoStack,
// holding the model before and after it. Undo and redo put the model back to one of those
// moments; the model then tells every window what changed, as for any edit.

#include <QObject>
#include <QUndoStack>

#include "core/model/remote_model.hpp"

namespace tessik::app {

class UndoHistory : public QObject, public EditJournal {
    Q_OBJECT
  public:
    explicit UndoHistory(RemoteModel& model, QObject* parent = nullptr);
    ~UndoHistory() override;

    // EditJournal
    void recordEdit(RecordedEdit edit) override;
    void clearHistory() override;

    void undo() { stack_.undo(); }
    void redo() { stack_.redo(); }
    // The edit Undo would take back and the one Redo would do again; nullptr for none.
    const EditLabel* undoLabel() const;
    const EditLabel* redoLabel() const;
    const QUndoStack& stack() const { return stack_; }

  signals:
    // The entries changed: an edit recorded, undone, done again, or the history cleared.
    void changed();

  private:
    const EditLabel* labelAt(int index) const;

    RemoteModel& model_;
    QUndoStack stack_;
};

}  // namespace tessik::app
