#include "app/UndoHistory.hpp"

#include <QUndoCommand>
#include <optional>
#include <utility>

namespace tessik::app {
namespace {

// Enough for a long session of edits; each entry holds at most two copies of the tables, and
// neighbouring entries share theirs.
constexpr int kUndoLimit = 500;

// One recorded edit. It is pushed after the model made it, so the push's own redo does nothing.
class ModelEdit : public QUndoCommand {
  public:
    ModelEdit(RemoteModel& model, RecordedEdit edit) : model_(model), edit_(std::move(edit)) {}

    void undo() override { model_.restore(*edit_.before, row()); }
    void redo() override {
        if (pushed_) model_.restore(*edit_.after, row());
        pushed_ = true;
    }
    const EditLabel& label() const { return edit_.label; }

  private:
    // The row the window shows selected afterwards: the one the edit was about.
    std::optional<std::size_t> row() const {
        switch (edit_.label.kind) {
            case EditKind::Capture:
            case EditKind::Recapture:
            case EditKind::Delete:
            case EditKind::Keys:
                return edit_.label.number - 1;
            default:
                return std::nullopt;
        }
    }

    RemoteModel& model_;
    RecordedEdit edit_;
    bool pushed_ = false;
};

}  // namespace

UndoHistory::UndoHistory(RemoteModel& model, QObject* parent) : QObject(parent), model_(model) {
    stack_.setUndoLimit(kUndoLimit);
    connect(&stack_, &QUndoStack::indexChanged, this, &UndoHistory::changed);
    model_.setJournal(this);
}

UndoHistory::~UndoHistory() {
    model_.setJournal(nullptr);
}

void UndoHistory::recordEdit(RecordedEdit edit) {
    stack_.push(new ModelEdit(model_, std::move(edit)));
}

void UndoHistory::clearHistory() {
    stack_.clear();
    emit changed();
}

const EditLabel* UndoHistory::labelAt(int index) const {
    if (index < 0 || index >= stack_.count()) return nullptr;
    return &static_cast<const ModelEdit*>(stack_.command(index))->label();
}

const EditLabel* UndoHistory::undoLabel() const {
    return labelAt(stack_.index() - 1);
}

const EditLabel* UndoHistory::redoLabel() const {
    return labelAt(stack_.index());
}

}  // namespace tessik::app
