// Any text handed to the IR code file readers is read or refused with the line it stopped at;
// whatever is read can be planned into a table without adding more than its slots hold.

#include <cstdlib>
#include <set>
#include <string>

#include "core/ir/signal_import.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(data, data + size);
    tessik::RawSignalsParse parsed = tessik::parseRawSignals(text);
    if (!parsed.ok) {
        if (parsed.error.rfind("line ", 0) != 0) std::abort();
        return 0;
    }
    tessik::RemoteModel model;
    const auto items = tessik::planImport(model, std::move(parsed.found));
    std::set<std::size_t> slots;
    for (const tessik::ImportItem& item : items) {
        if (!item.importable()) continue;
        if (item.slot >= tessik::kButtonSlots || !slots.insert(item.slot).second) std::abort();
    }
    const auto added = tessik::addImported(model, items, {});
    if (added.size() != slots.size() || model.occupiedCount() != added.size()) std::abort();
    return 0;
}
