#pragma once
// An import of IR code files that assigns the keys too: each signal whose name stands for a
// role of the chosen key layout ("VOL+", "KEY_OK", "1") is added with that role's keys, so a
// remote from a public collection is ready to use in one step.

#include <cstddef>
#include <vector>

#include "core/ir/signal_import.hpp"
#include "core/layouts/key_layout.hpp"

namespace tessik {

// The layout's role each item's name stands for, in the items' order; nullptr for a name that
// stands for none (and for an unnamed signal).
std::vector<const LayoutRole*> rolesOfItems(const KeyLayout& layout,
                                            const std::vector<ImportItem>& items);

// Adds the chosen importable items as addImported does, and gives each whose name stands for
// a role of `layout` that role's keys (the signal's name stays its comment): one edit, undone
// at once. Without a layout it is addImported. Returns the slots the items went to.
std::vector<std::size_t> addImportedWithKeys(RemoteModel& model,
                                             const std::vector<ImportItem>& items,
                                             const std::vector<bool>& chosen,
                                             const KeyLayout* layout);

}  // namespace tessik
