#pragma once
// The rules of the two macro dialogs, without their widgets: the macro registration dialog
// (one macro's name, interval and commands) and the macro list. Each dialog forwards the
// user's actions here and mirrors the rows and enablings into its controls; questions
// ("Is No.%d deleted?") and notices are the dialog's to ask before calling in.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/remote_model.hpp"

namespace tessik {

// The pause the receiver makes between a macro's commands, in milliseconds.
inline constexpr std::uint16_t kMinMacroInterval = 100;
inline constexpr std::uint16_t kMaxMacroInterval = 30000;
inline constexpr std::uint16_t kMacroIntervalStep = 10;
inline constexpr std::uint16_t kDefaultMacroInterval = 500;

// The interval as the registration dialog shows it: a never-set interval (0) as 500, and a
// value from a file outside 100..30000 brought into that range.
std::uint16_t shownMacroInterval(std::uint16_t stored);

// `steps` clicks of the spin arrows (negative = down): exactly 10 each, kept in 100..30000.
std::uint16_t stepMacroInterval(std::uint16_t shown, int steps);

// ---------------------------------------------------------------------------------------------
// Macro registration: one macro's name, interval and command list.

struct MacroCommandRow {
    std::size_t number;  // command + 1, the "No" column
    std::u16string comment;
    std::u16string sendText;
};

class MacroRegistration {
  public:
    // Opens on macro slot `macro` (brought into 0..9): the interval shown, the command list
    // filled, the name shown when the macro is in use. Everything stored while it is open (its
    // commands, then its name and interval) is one edit, taken back in one step.
    MacroRegistration(RemoteModel& model, std::size_t macro);

    std::size_t macro() const { return macro_; }
    const std::u16string& name() const { return name_; }
    std::uint16_t interval() const { return interval_; }
    const std::vector<MacroCommandRow>& rows() const { return rows_; }
    std::optional<std::size_t> selectedRow() const { return selected_; }
    bool addEnabled() const { return addEnabled_; }
    bool editEnabled() const { return editEnabled_; }
    bool deleteEnabled() const { return deleteEnabled_; }

    // Every change of the name box. A name enables "Add"; emptying it does not disable it.
    void nameEdited(std::u16string_view name);
    void stepInterval(int steps);
    // The list was clicked: a selected row enables "Edit" and "Delete".
    void selectRow(std::optional<std::size_t> row);

    // "Add": the command to open the editor on (NewCommand mode), or nothing when the macro
    // already has eight commands (the dialog then shows its "maximum reached" notice).
    std::optional<std::size_t> addCommand() const;
    // "Edit": the command to open the editor on (EditCommand mode): the selected row, or 0.
    std::size_t editCommand() const;
    // "Delete", after the user confirmed: removes the selected command, closing the gap.
    // False when no row is selected (nothing happens then).
    bool deleteSelectedCommand();

    // Rebuilds the rows from the table; also called when the editor has stored a command.
    void refreshCommandList();

    // "Close": the interval and the name reach the table (only here); an edit when either
    // changed.
    void close();

  private:
    RemoteModel& model_;
    std::size_t macro_;
    RemoteModel::EditGroup edit_;
    std::u16string name_;
    std::uint16_t interval_;
    std::vector<MacroCommandRow> rows_;
    std::optional<std::size_t> selected_;
    bool addEnabled_ = false;
    bool editEnabled_ = false;
    bool deleteEnabled_ = false;
};

// ---------------------------------------------------------------------------------------------
// Macro list: every macro in use, one row each.

struct MacroListRow {
    std::size_t macro;  // the slot; "No" shows macro + 1
    std::u16string name;
    std::uint16_t interval;  // as stored: a macro never closed in its dialog shows 0
    std::array<std::u16string, kMacroCommands> commands;
};

class MacroList {
  public:
    explicit MacroList(RemoteModel& model);

    const std::vector<MacroListRow>& rows() const { return rows_; }
    std::optional<std::size_t> selectedRow() const { return selected_; }
    bool addEnabled() const { return addEnabled_; }
    bool editEnabled() const { return editEnabled_; }
    bool deleteEnabled() const { return deleteEnabled_; }

    // Rebuilds the rows; "Add" is disabled exactly while the last slot is in use.
    void fill();
    void selectRow(std::optional<std::size_t> row);

    // "Add": the free slot to open the registration dialog on, or nothing.
    std::optional<std::size_t> addSlot() const;
    // "Edit": the selected row's slot, or nothing.
    std::optional<std::size_t> editSlot() const;
    // "Delete", after the user confirmed: the macro goes, the later ones move down and the
    // buttons' references follow. False when no row is selected.
    bool deleteSelectedMacro();

  private:
    RemoteModel& model_;
    std::vector<MacroListRow> rows_;
    std::optional<std::size_t> selected_;
    bool addEnabled_ = true;
    bool editEnabled_ = false;
    bool deleteEnabled_ = false;
};

}  // namespace tessik
