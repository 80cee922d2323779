#include "core/layouts/layout_import.hpp"

#include <algorithm>

namespace tessik {

std::vector<const LayoutRole*> rolesOfItems(const KeyLayout& layout,
                                            const std::vector<ImportItem>& items) {
    std::vector<const LayoutRole*> roles;
    roles.reserve(items.size());
    for (const ImportItem& item : items)
        roles.push_back(item.signal.name.empty() ? nullptr
                                                 : layout.roleForSignal(item.signal.name));
    return roles;
}

std::vector<std::size_t> addImportedWithKeys(RemoteModel& model,
                                             const std::vector<ImportItem>& items,
                                             const std::vector<bool>& chosen,
                                             const KeyLayout* layout) {
    if (layout == nullptr) return addImported(model, items, chosen);
    const std::vector<const LayoutRole*> roles = rolesOfItems(*layout, items);
    // The slots come back in the order of the chosen importable items.
    std::vector<std::size_t> added;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].importable() && (i >= chosen.size() || chosen[i])) added.push_back(i);
    }
    const std::size_t fitting = std::min(added.size(), kButtonSlots - model.occupiedCount());
    RemoteModel::EditGroup group(model, {EditKind::Import, fitting});
    const std::vector<std::size_t> slots = addImported(model, items, chosen);
    for (std::size_t n = 0; n < slots.size(); ++n) {
        const ImportItem& item = items[added[n]];
        if (const LayoutRole* role = roles[added[n]]) {
            model.storeButtonKeys(slots[n], role->buttonKeys(importComment(item)));
        }
    }
    return slots;
}

}  // namespace tessik
