#pragma once
// The in-memory model of one remote control: the button table, the remote header with the
// timing statistics, the macro table and the jitter, plus the menu-command states that follow
// from them. The main window owns one; every dialog works on it directly.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/model/records.hpp"

namespace tessik {

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
    bool operator==(const CommandStates&) const = default;
};

inline constexpr std::int32_t kDefaultJitterPercent = 10;
// The jitter a table may carry: up to 100 % the windows only widen, beyond it a minimum would
// fall below zero. A data file's field holds any 32-bit value.
inline constexpr std::int32_t kMaxJitterPercent = 100;
inline constexpr std::size_t kNoFreeSlot = kButtonSlots;  // AddCode's "table full" result

class RemoteModel {
  public:
    RemoteModel() { ResetTables(); }

    std::array<ButtonRecord, kButtonSlots> buttons{};
    RemoteHeader header;
    std::array<MacroRecord, kMacroSlots> macros{};
    std::int32_t jitterPercent = kDefaultJitterPercent;
    bool modified = false;
    std::u16string shownName;  // the main window's "Name:" field
    CommandStates commands;

    // Empties everything: all slots and macros zero, the statistics' minima at 0xFFFF, jitter
    // 10, not modified, every model command greyed. (The device frame buffers that are reset
    // with the tables belong to the command layer, which its owner resets alongside.)
    void ResetTables();

    // Stores a captured code and its comment in the first free slot, folds its timings into
    // the statistics, enables the commands that need data and sets `modified`. Returns the
    // slot, or kNoFreeSlot (128) when the table is full and nothing was stored.
    std::size_t AddCode(const CodeRecord& record, std::u16string_view comment);

    // True when none of the 128 slots, free ones included, has the record's codeValue.
    bool IsNewCode(const CodeRecord& record) const;

    // Widens the header's statistics by one stored record.
    void AccumulateStatistics(const CodeRecord& record);

    // Removes slot `slot`: every later slot moves down one, slot 127 becomes empty. The caller
    // has asked the user. Sets `modified` and refreshes the command states.
    void DeleteButton(std::size_t slot);

    // After macro m was removed and the later ones moved down: references to m are dropped,
    // references to later macros renumbered.
    void RemoveMacroReferences(std::size_t m);

    // The index of the first command of macro m with an empty send text; 7 when all eight are
    // filled.
    std::size_t CountMacroCommands(std::size_t m) const;

    // Deletes macro d, closes the gap in the macro table and repairs the buttons' references.
    void DeleteMacro(std::size_t d);
    // Deletes command r of macro m; the later commands move down, command 7 becomes empty.
    void DeleteMacroCommand(std::size_t m, std::size_t r);

    // The number of leading commands of macro m with non-empty text (0..8).
    std::size_t macroCommandCount(std::size_t m) const;
    std::optional<std::size_t> firstFreeMacroSlot() const;
    std::size_t occupiedCount() const;

    // The state part of the main window's list refresh.
    void refreshCommandStates();
    // File > New with a non-empty name: reset, store the name, mark modified.
    void startNew(std::u16string_view name);
    // After a successful Save or Save As.
    void noteSaved();
    // After a successful Open (the tables have been loaded into a reset model).
    void noteOpened();
};

// The macro a send string refers to: its index when the first word is exactly the marker and
// the index names a macro slot; nothing otherwise (also for an out-of-range index read from a
// damaged file).
std::optional<std::size_t> macroReference(const KeyCodeList& keys);
bool isMacroReference(const KeyCodeList& keys);

}  // namespace tessik
