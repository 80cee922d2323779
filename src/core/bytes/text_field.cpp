#include "core/bytes/text_field.hpp"

namespace tessik {

std::u16string readTextField(const ByteReader& r, std::size_t offset, std::size_t units) {
    std::u16string out;
    for (std::size_t i = 0; i < units; ++i) {
        const std::size_t at = offset + 2 * i;
        if (!r.has(at, 2)) break;
        const char16_t c = static_cast<char16_t>(r.u16(at));
        if (c == 0) break;
        out.push_back(c);
    }
    return out;
}

void writeTextField(ByteWriter& w, std::size_t offset, std::size_t units,
                    std::u16string_view text) {
    if (units == 0) return;
    const std::size_t n = text.size() < units - 1 ? text.size() : units - 1;
    for (std::size_t i = 0; i < units; ++i) {
        w.u16(offset + 2 * i, i < n ? static_cast<std::uint16_t>(text[i]) : 0);
    }
}

std::u16string clipText(std::u16string_view text, std::size_t maxUnits) {
    return std::u16string(text.substr(0, maxUnits));
}

}  // namespace tessik
