#include "hid/linux/report_descriptor.hpp"

#include <array>

namespace tessik::hid {
namespace {

// Item prefixes: bits 0..1 the data size (3 means 4 bytes), bits 2..3 the type, bits 4..7 the
// tag. 0xFE starts a long item: a data size byte, a tag byte, then the data.
constexpr std::uint8_t kLongItem = 0xFE;
constexpr std::uint8_t kTypeMain = 0;
constexpr std::uint8_t kTypeGlobal = 1;
constexpr std::uint8_t kTagFeature = 0xB;      // main 0xB1
constexpr std::uint8_t kTagReportSize = 0x7;   // global 0x75
constexpr std::uint8_t kTagReportId = 0x8;     // global 0x85
constexpr std::uint8_t kTagReportCount = 0x9;  // global 0x95
constexpr std::uint8_t kTagPush = 0xA;         // global 0xA4
constexpr std::uint8_t kTagPop = 0xB;          // global 0xB4

// The kernel keeps four pushed global states; a descriptor that needs more is refused there.
constexpr std::size_t kPushDepth = 4;
// Reports longer than this are not real (the kernel's own buffers are far smaller).
constexpr std::uint64_t kMaxReportBits = 8ull * 65536;

struct GlobalState {
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint8_t reportId = 0;
};

std::uint32_t itemValue(std::span<const std::uint8_t> data) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < data.size(); ++i)
        v |= static_cast<std::uint32_t>(data[i]) << (8 * i);
    return v;
}

}  // namespace

std::optional<std::size_t> featureReportLength(std::span<const std::uint8_t> descriptor,
                                               std::uint8_t reportId) {
    if (reportId == 0) return std::nullopt;
    GlobalState state;
    std::array<GlobalState, kPushDepth> stack{};
    std::size_t depth = 0;
    bool usesReportIds = false;
    std::uint64_t bits = 0;

    std::size_t pos = 0;
    while (pos < descriptor.size()) {
        const std::uint8_t prefix = descriptor[pos];
        if (prefix == kLongItem) {
            if (descriptor.size() - pos < 3) return std::nullopt;
            const std::size_t size = descriptor[pos + 1];
            if (descriptor.size() - pos - 3 < size) return std::nullopt;
            pos += 3 + size;  // long items carry nothing that shapes a report
            continue;
        }
        const std::size_t size = (prefix & 0x3) == 3 ? 4 : (prefix & 0x3);
        if (descriptor.size() - pos - 1 < size) return std::nullopt;
        const std::uint32_t value = itemValue(descriptor.subspan(pos + 1, size));
        const std::uint8_t type = (prefix >> 2) & 0x3;
        const std::uint8_t tag = prefix >> 4;
        pos += 1 + size;

        if (type == kTypeGlobal) {
            switch (tag) {
                case kTagReportSize:
                    state.reportSize = value;
                    break;
                case kTagReportCount:
                    state.reportCount = value;
                    break;
                case kTagReportId:
                    if (value == 0 || value > 0xFF) return std::nullopt;
                    state.reportId = static_cast<std::uint8_t>(value);
                    usesReportIds = true;
                    break;
                case kTagPush:
                    if (depth == kPushDepth) return std::nullopt;
                    stack[depth++] = state;
                    break;
                case kTagPop:
                    if (depth == 0) return std::nullopt;
                    state = stack[--depth];
                    break;
                default:
                    break;
            }
        } else if (type == kTypeMain && tag == kTagFeature && state.reportId == reportId) {
            bits += static_cast<std::uint64_t>(state.reportSize) * state.reportCount;
            if (bits > kMaxReportBits) return std::nullopt;
        }
    }
    if (!usesReportIds || bits == 0) return std::nullopt;
    return static_cast<std::size_t>((bits + 7) / 8 + 1);
}

}  // namespace tessik::hid
