// keys: what each key of the PC keyboard makes the receiver type.

#include <ostream>

#include "cli/commands.hpp"
#include "core/keys/key_codes.hpp"
#include "core/text/format.hpp"

namespace tessik::cli {

int cmdKeys(Io& io) {
    for (const KeyUsageRow& row : KeyUsageTable) {
        const std::optional<KeyNameRow> named = findKeyName(row.virtualKey);
        const bool counts = !named || named->countsAsKey;
        io.out << formatText("0x%02X 0x%02X ", {row.virtualKey, row.usage})
               << keyDisplayName(row.virtualKey) << ' ' << (counts ? "yes" : "no") << '\n';
    }
    return kExitOk;
}

}  // namespace tessik::cli
