#pragma once
// The model's edits as the user reads them, in English and Japanese: the undo history's
// entries ("Undo Delete No 3") and what deleting a macro costs.

#include <cstddef>
#include <string>

#include "core/model/remote_model.hpp"
#include "core/text/language.hpp"

namespace tessik {

// "Delete No 3", "Import of 12 codes", "Edit Macro 2", ...
std::string editText(const EditLabel& label, Language language);

// The Edit menu's entries with their access keys: "&Undo Delete No 3" and "&Redo Delete No 3";
// without an edit to take back or do again, just "&Undo" and "&Redo".
std::string undoText(const EditLabel* label, Language language);
std::string redoText(const EditLabel* label, Language language);

// The sentence added to the macro list's delete question when buttons run the macro:
// "2 buttons run this macro; they will send nothing." Empty for none.
std::string macroUsersText(std::size_t users, Language language);

}  // namespace tessik
