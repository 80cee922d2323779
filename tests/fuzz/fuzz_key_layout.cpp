// Any bytes read as a user's key layout file give a layout or a refusal with its line; a
// layout's roles hold only keys of the receiver's table.

#include <cstdlib>
#include <string_view>

#include "core/layouts/key_layout.hpp"
#include "layouts/json_document.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessik;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const LayoutRead read =
        readKeyLayout(layouts::parseJsonDocument(text), "fuzz", Language::English);
    if (!read.layout) {
        if (read.error.empty() || read.line == 0) std::abort();  // refused with where and why
        return 0;
    }
    if (read.layout->roles.empty()) std::abort();
    for (const LayoutRole& role : read.layout->roles) {
        if (role.keyCount == 0 || role.keyCount > kKeyWords) std::abort();
        for (std::size_t i = 0; i < role.keyCount; ++i) {
            if (!inKeyUsageTable(keyUsage(role.keys[i]))) std::abort();
        }
    }
    return 0;
}
