#include "core/keys/macro_rules.hpp"

#include <algorithm>

#include "core/bytes/text_field.hpp"

namespace tessik {

std::uint16_t shownMacroInterval(std::uint16_t stored) {
    if (stored == 0) return kDefaultMacroInterval;
    return std::clamp(stored, kMinMacroInterval, kMaxMacroInterval);
}

std::uint16_t stepMacroInterval(std::uint16_t shown, int steps) {
    const long value = static_cast<long>(shown) + static_cast<long>(steps) * kMacroIntervalStep;
    return static_cast<std::uint16_t>(
        std::clamp<long>(value, kMinMacroInterval, kMaxMacroInterval));
}

// ---------------------------------------------------------------------------------------------

MacroRegistration::MacroRegistration(RemoteModel& model, std::size_t macro)
    : model_(model),
      macro_(std::min(macro, kMacroSlots - 1)),
      edit_(model, {EditKind::Macro, macro_ + 1}) {
    const MacroRecord& rec = model_.macros()[macro_];
    // The interval is read whether or not the macro is in use.
    interval_ = shownMacroInterval(rec.interval);
    refreshCommandList();
    addEnabled_ = false;
    // Putting the name into its box counts as a change of the name.
    nameEdited(rec.used != 0 ? std::u16string_view(rec.name) : std::u16string_view());
}

void MacroRegistration::nameEdited(std::u16string_view name) {
    name_ = clipText(name, kMaxTextChars);
    if (!name_.empty()) addEnabled_ = true;
}

void MacroRegistration::stepInterval(int steps) {
    interval_ = stepMacroInterval(interval_, steps);
}

void MacroRegistration::selectRow(std::optional<std::size_t> row) {
    if (row && *row >= rows_.size()) row.reset();
    selected_ = row;
    if (row) editEnabled_ = deleteEnabled_ = true;
}

std::optional<std::size_t> MacroRegistration::addCommand() const {
    if (rows_.size() >= kMacroCommands) return std::nullopt;
    return rows_.size();
}

std::size_t MacroRegistration::editCommand() const {
    return selected_.value_or(0);
}

bool MacroRegistration::deleteSelectedCommand() {
    if (!selected_) return false;
    model_.DeleteMacroCommand(macro_, *selected_);
    refreshCommandList();
    return true;
}

void MacroRegistration::refreshCommandList() {
    rows_.clear();
    selected_.reset();
    addEnabled_ = true;
    editEnabled_ = deleteEnabled_ = false;
    const MacroRecord& rec = model_.macros()[macro_];
    if (rec.used == 0) return;
    const std::size_t count = model_.macroCommandCount(macro_);
    for (std::size_t c = 0; c < count; ++c) {
        rows_.push_back({c + 1, rec.commands[c].comment, rec.commands[c].sendText});
    }
    if (count == kMacroCommands) addEnabled_ = false;
}

void MacroRegistration::close() {
    model_.setMacroNameAndInterval(macro_, name_, interval_);
}

// ---------------------------------------------------------------------------------------------

MacroList::MacroList(RemoteModel& model) : model_(model) {
    fill();
}

void MacroList::fill() {
    rows_.clear();
    selected_.reset();
    editEnabled_ = deleteEnabled_ = false;
    for (std::size_t m = 0; m < kMacroSlots; ++m) {
        const MacroRecord& rec = model_.macros()[m];
        if (rec.used == 0) continue;
        MacroListRow row{m, rec.name, rec.interval, {}};
        for (std::size_t c = 0; c < kMacroCommands; ++c)
            row.commands[c] = rec.commands[c].sendText;
        rows_.push_back(std::move(row));
    }
    addEnabled_ = model_.macros()[kMacroSlots - 1].used == 0;
}

void MacroList::selectRow(std::optional<std::size_t> row) {
    if (row && *row >= rows_.size()) row.reset();
    selected_ = row;
    if (row) editEnabled_ = deleteEnabled_ = true;
}

std::optional<std::size_t> MacroList::addSlot() const {
    if (!addEnabled_) return std::nullopt;
    return model_.firstFreeMacroSlot();
}

std::optional<std::size_t> MacroList::editSlot() const {
    if (!selected_) return std::nullopt;
    return rows_[*selected_].macro;
}

bool MacroList::deleteSelectedMacro() {
    if (!selected_) return false;
    model_.DeleteMacro(rows_[*selected_].macro);
    fill();
    return true;
}

}  // namespace tessik
