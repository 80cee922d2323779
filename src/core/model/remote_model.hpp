#pragma once
// The in-memory model of one remote control: the button table, the remote header with the
// timing statistics, the macro table and the jitter, plus the menu-command states that follow
// from them. The main window owns one; every dialog works on it, and only through the
// operations below: each keeps the table's rules (contiguous rows, unique codes, macro
// references that follow their macros), marks the table modified, tells every listener what
// changed and hands the edit to the journal that makes it undoable.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/model/records.hpp"

namespace tessik {

inline constexpr std::int32_t kDefaultJitterPercent = 10;
// The jitter a table may carry: up to 100 % the windows only widen, beyond it a minimum would
// fall below zero. A data file's field holds any 32-bit value.
inline constexpr std::int32_t kMaxJitterPercent = 100;
inline constexpr std::size_t kNoFreeSlot = kButtonSlots;  // AddCode's "table full" result

// The tables of one remote control, exactly what a data file holds and what Set Up Data sends.
// Readers fill one of these; the model takes it whole.
struct RemoteTables {
    std::int32_t jitterPercent = kDefaultJitterPercent;
    RemoteHeader header;
    std::array<ButtonRecord, kButtonSlots> buttons{};
    std::array<MacroRecord, kMacroSlots> macros{};
    bool operator==(const RemoteTables&) const = default;
};

// Which model commands of the main menu are enabled. New, Open, Exit and the Help menu are
// always enabled and not tracked. The UI only mirrors this value.
struct CommandStates {
    bool save = false;
    bool saveAs = false;
    bool capture = false;
    bool deleteIr = false;
    bool setUp = false;
    bool editMacro = false;
    bool jitter = false;
    bool guidedSetUp = false;  // File > Guided Set-Up...: a free slot to teach into
    bool operator==(const CommandStates&) const = default;
};

// What an edit changed, for the windows that show the model.
struct ModelChange {
    enum class What {
        Everything,  // reset, opened, or an edit taken back or done again
        RowAdded,    // `index`: the first slot filled (a capture, an import)
        Row,         // `index`: one button's keys, comment or code
        RowsMoved,   // `index`: a row was deleted, the later ones moved up
        Macro,       // `index`: one macro's commands, name or interval
        Macros,      // macros deleted and renumbered; buttons' references followed them
        Header,      // the name or the jitter
        SavedState,  // only `modified` changed (saved)
    };
    What what = What::Everything;
    std::size_t index = 0;
};

// The kinds of edit, for the undo history's entry texts ("Undo Delete No 3").
enum class EditKind {
    Capture,      // number: the row
    Recapture,    // number: the row
    Delete,       // number: the row
    Keys,         // number: the row
    Import,       // number: how many rows were added
    Macro,        // number: the macro (1-based)
    DeleteMacro,  // number: the macro (1-based)
    Jitter,
    Rename,
    GuidedSetUp,
};

struct EditLabel {
    EditKind kind = EditKind::Keys;
    std::size_t number = 0;
};

// The model at one moment: its tables and which edit made them. Two moments with the same
// revision hold the same tables.
struct ModelSnapshot {
    RemoteTables tables;
    std::uint64_t revision = 0;
};

// One edit as the undo history keeps it: the model before and after.
struct RecordedEdit {
    EditLabel label;
    std::shared_ptr<const ModelSnapshot> before;
    std::shared_ptr<const ModelSnapshot> after;
};

// Where finished edits go (the window's undo stack). The command line has none.
class EditJournal {
  public:
    virtual ~EditJournal() = default;
    virtual void recordEdit(RecordedEdit edit) = 0;
    // New, Open and a reset start a history of their own.
    virtual void clearHistory() = 0;
};

// Everything a button's send-string editor stores.
struct ButtonKeys {
    KeyCodeList keys{};
    std::uint16_t keyCount = 0;
    std::u16string sendText;
    std::u16string comment;
    bool operator==(const ButtonKeys&) const = default;
};

// A captured or imported code and the comment it is stored with.
struct NewCode {
    CodeRecord record;
    std::u16string comment;
};

class RemoteModel {
  public:
    using Listener = std::function<void(const ModelChange&)>;

    RemoteModel() = default;
    // A model of tables read from elsewhere, as File > Open leaves it.
    explicit RemoteModel(RemoteTables tables);
    // A copy holds the same tables and state but no listeners and no journal: it is a scratch
    // table (an import's plan, a check), not a second view of the window's model.
    RemoteModel(const RemoteModel& other);
    RemoteModel& operator=(const RemoteModel& other);
    ~RemoteModel();

    // --- Reading ------------------------------------------------------------------------------
    const RemoteTables& tables() const { return tables_; }
    const std::array<ButtonRecord, kButtonSlots>& buttons() const { return tables_.buttons; }
    const ButtonRecord& button(std::size_t slot) const { return tables_.buttons.at(slot); }
    const RemoteHeader& header() const { return tables_.header; }
    const std::array<MacroRecord, kMacroSlots>& macros() const { return tables_.macros; }
    const MacroRecord& macro(std::size_t m) const { return tables_.macros.at(m); }
    std::int32_t jitterPercent() const { return tables_.jitterPercent; }
    // The name the main window shows: the remote header's.
    const std::u16string& shownName() const { return tables_.header.remoteName; }
    // Unsaved changes: the tables differ from what was last opened or saved.
    bool modified() const { return revision_ != savedRevision_; }
    CommandStates commands() const;

    // True when none of the 128 slots, free ones included, has the record's codeValue.
    bool IsNewCode(const CodeRecord& record) const;
    // The slot holding the record's codeValue, if any.
    std::optional<std::size_t> slotOfCode(std::uint64_t codeValue) const;
    // The index of the first command of macro m with an empty send text; 7 when all eight are
    // filled (the last command is then the one an added command would overwrite).
    std::size_t CountMacroCommands(std::size_t m) const;
    // The number of leading commands of macro m with non-empty text (0..8).
    std::size_t macroCommandCount(std::size_t m) const;
    // How many buttons run macro m.
    std::size_t macroUsers(std::size_t m) const;
    std::optional<std::size_t> firstFreeMacroSlot() const;
    std::size_t occupiedCount() const;

    // --- The table as a whole -----------------------------------------------------------------
    // Empties everything: all slots and macros zero, the statistics' minima at 0xFFFF, jitter
    // 10, not modified, every model command greyed. (The device frame buffers that are reset
    // with the tables belong to the command layer, which its owner resets alongside.)
    void ResetTables();
    // File > New with a non-empty name: reset, store the name, mark modified.
    void startNew(std::u16string_view name);
    // File > Open: the tables read from a file replace the model's; not modified.
    void open(RemoteTables tables);
    // After a successful Save or Save As: what the model holds now is what is on disk.
    void noteSaved();
    // Undo and redo: the model as it was at `snapshot`. Not recorded as an edit.
    void restore(const ModelSnapshot& snapshot, std::optional<std::size_t> row = std::nullopt);

    // --- Edits (each one undoable step) ---------------------------------------------------------
    // Stores a captured code and its comment in the first free slot and folds its timings into
    // the statistics. Returns the slot, or kNoFreeSlot (128) when the table is full and
    // nothing was stored.
    std::size_t AddCode(const CodeRecord& record, std::u16string_view comment);
    // Stores codes one after the other as AddCode does, as one edit; stops at a full table.
    // Returns the slots used.
    std::vector<std::size_t> addCodes(const std::vector<NewCode>& codes);
    // A new code for an occupied slot, captured again: the slot keeps its keys (a macro
    // reference too) and its send text, its comment becomes `comment`, and the statistics become
    // those of the codes the table then holds, the new one counted last as if just stored: the
    // old code's timings must leave the windows the receiver is sent. False, and nothing
    // changes, when the slot is free or another slot holds the code.
    bool recaptureCode(std::size_t slot, const CodeRecord& record, std::u16string_view comment);
    // Removes slot `slot`: every later slot moves down one, slot 127 becomes empty. The caller
    // has asked the user. The statistics stay as they are: they only ever widen.
    void DeleteButton(std::size_t slot);
    // The send-string editor's store of one button.
    void storeButtonKeys(std::size_t slot, const ButtonKeys& keys);
    // The send-string editor's store of one macro command; the macro becomes registered.
    void storeMacroCommand(std::size_t m, std::size_t c, const MacroCommand& command);
    // Deletes command r of macro m; the later commands move down, command 7 becomes empty.
    void DeleteMacroCommand(std::size_t m, std::size_t r);
    // The macro registration dialog's Close: its name and interval reach the table.
    void setMacroNameAndInterval(std::size_t m, std::u16string_view name, std::uint16_t interval);
    // Deletes macro d, closes the gap in the macro table and repairs the buttons' references
    // (RemoveMacroReferences).
    void DeleteMacro(std::size_t d);
    void setJitter(std::int32_t percent);
    void rename(std::u16string_view name);

    // --- Listeners and the journal --------------------------------------------------------------
    // `listener` hears every change until the returned handle is destroyed.
    [[nodiscard]] std::shared_ptr<void> subscribe(Listener listener);
    // Where finished edits go; nullptr for none. The journal must outlive its use here.
    void setJournal(EditJournal* journal) { journal_ = journal; }

    // What the model is beside its tables: a table started, codes held once, a file.
    struct TableState {
        bool started = false;
        bool hadCodes = false;
        bool inFile = false;
    };

    // Several edits as one undoable step (an import with keys, a guided set-up): the edits
    // inside are not recorded on their own; the group is, when it ends, if anything changed.
    class EditGroup {
      public:
        // A moment inside the group to come back to (a guided set-up's step).
        class Mark {
            friend class EditGroup;
            std::shared_ptr<const ModelSnapshot> at_;
            TableState state_;
        };

        EditGroup(RemoteModel& model, EditLabel label);
        ~EditGroup();
        EditGroup(const EditGroup&) = delete;
        EditGroup& operator=(const EditGroup&) = delete;
        // Takes back everything done inside the group; nothing is recorded, and the model is
        // exactly as it was before the group, its command states included.
        void cancel();
        Mark mark() const;
        // Takes back what was done inside the group since `mark`, as if it had never been.
        void rollBackTo(const Mark& mark);

      private:
        RemoteModel& model_;
        bool cancelled_ = false;
        TableState before_;
    };

  private:
    struct ListenerEntry;
    struct ListenerList;

    // Runs `change` on the tables as one edit: a new revision, the listeners told, the journal
    // given before and after. An edit that leaves the tables as they were is no edit.
    template <typename Change>
    void edit(EditLabel label, ModelChange what, Change&& change);
    void notify(const ModelChange& change);
    void RemoveMacroReferences(std::size_t m);
    std::size_t firstFreeSlot() const;
    std::size_t addOne(const CodeRecord& record, std::u16string_view comment);
    std::shared_ptr<const ModelSnapshot> snapshot() const;
    void replaceAll(RemoteTables tables, bool saved);

    RemoteTables tables_;
    // Every edit gets a revision number of its own; the table is modified while its revision
    // is not the one last opened or saved.
    std::uint64_t revision_ = 0;
    std::uint64_t savedRevision_ = 0;
    std::uint64_t nextRevision_ = 1;
    // The snapshot of the current revision, made once for the undo history.
    mutable std::shared_ptr<const ModelSnapshot> current_;
    // What the command states remember beyond the tables: a table was started (New, Open, a
    // first code), a code was ever added or opened, the table is in a file.
    TableState state_;

    EditJournal* journal_ = nullptr;
    std::shared_ptr<ListenerList> listeners_;
    // An open EditGroup: its label and the model before it.
    int groupDepth_ = 0;
    EditLabel groupLabel_;
    std::shared_ptr<const ModelSnapshot> groupBefore_;
    bool groupChanged_ = false;
};

// Widens the header's statistics by one stored record: each group's maximum and minimum, and
// the mid value between them.
void AccumulateStatistics(RemoteHeader& header, const CodeRecord& record);
// The statistics of the table's codes alone, `last` folded in last (its format, pair count and
// length are the header's): what a table gets when every code is stored anew.
void recomputeStatistics(RemoteTables& tables, std::size_t last);

// The macro a send string refers to: its index when the first word is exactly the marker and
// the index names a macro slot; nothing otherwise (also for an out-of-range index read from a
// damaged file).
std::optional<std::size_t> macroReference(const KeyCodeList& keys);
bool isMacroReference(const KeyCodeList& keys);

}  // namespace tessik
