#include "core/ir/decoders.hpp"

#include <algorithm>
#include <vector>

namespace tessik {
namespace {

constexpr std::uint16_t kNoMinimum = 0xFFFF;
constexpr std::size_t kMaxPairCount = 0xFFFF;

// A running maximum and minimum. Both are replaced only by strictly larger or smaller values,
// so a group without members keeps 0 and 0xFFFF, which is what the record shows for "none".
struct Group {
    std::uint16_t max = 0;
    std::uint16_t min = kNoMinimum;

    void add(std::uint16_t v) {
        if (v > max) max = v;
        if (v < min) min = v;
    }
    bool holds(std::uint16_t v) const { return min <= v && v <= max; }
};

std::uint16_t periodAt(std::span<const std::uint16_t> periods, std::size_t i) {
    return i < periods.size() ? periods[i] : 0;
}

// Steps shared by both decoders: reset the record, find the leader and the end of the data.
DataRange startDecode(std::span<const std::uint16_t> low, std::span<const std::uint16_t> high,
                      CodeRecord& record) {
    const std::size_t pairs = std::min<std::size_t>({record.pairCount, low.size(), high.size()});
    record = CodeRecord{};
    record.oneMin = record.lowMin = record.highMin = kNoMinimum;
    record.pairCount = static_cast<std::uint16_t>(pairs);
    const DataRange d = locateData(low, high, pairs);
    record.leaderLow = periodAt(low, d.leader);
    record.leaderHigh = periodAt(high, d.leader);
    return d;
}

struct Groups {
    Group carrier;  // every period of the kind that carries no bit
    Group one;      // bit periods longer than 1.5 x the shortest carrier period
    Group zero;     // bit periods shorter than the shortest one
};

Groups splitGroups(std::span<const std::uint16_t> bitPeriods,
                   std::span<const std::uint16_t> carrierPeriods, const DataRange& d) {
    Groups g;
    for (std::size_t i = d.begin; i < d.end; ++i)
        g.carrier.add(carrierPeriods[i]);
    const double oneThreshold = 1.5 * static_cast<double>(g.carrier.min);
    for (std::size_t i = d.begin; i < d.end; ++i) {
        if (static_cast<double>(bitPeriods[i]) > oneThreshold) g.one.add(bitPeriods[i]);
    }
    for (std::size_t i = d.begin; i < d.end; ++i) {
        if (bitPeriods[i] < g.one.min) g.zero.add(bitPeriods[i]);
    }
    return g;
}

// Packs the data bits, first bit most significant, into codeBytes and codeValue. Type 1 repeats
// every completed byte in codeValue (`doubleBytes`), so its value holds the last four bytes
// twice each. False at the 160th bit, which would need a 21st code byte.
bool packBits(std::span<const std::uint16_t> bitPeriods, const DataRange& d, const Group& one,
              bool doubleBytes, CodeRecord& record) {
    std::size_t k = 0;
    unsigned c = 0;
    std::uint64_t value = 0;
    for (std::size_t i = d.begin; i < d.end; ++i) {
        const unsigned bit = one.holds(bitPeriods[i]) ? 1 : 0;
        record.codeBytes[k] = static_cast<std::uint8_t>((record.codeBytes[k] << 1) | bit);
        value = (value << 1) | bit;
        if (++c == 8) {
            if (doubleBytes) value = (value << 8) | record.codeBytes[k];
            ++k;
            c = 0;
            if (k == kCodeBytesCount) {
                record.codeValue = kCodeTooLong;
                return false;
            }
        }
    }
    // A last partial byte stands left-aligned in codeValue; its code byte keeps it low.
    if (c > 0) value <<= (8 - c);
    record.codeValue = value;
    return true;
}

}  // namespace

DataRange locateData(std::span<const std::uint16_t> low, std::span<const std::uint16_t> high,
                     std::size_t pairs) {
    pairs = std::min({pairs, low.size(), high.size()});
    // The leader is the first burst longer than any data burst can be; remotes whose leader is
    // shorter than that (pulse-width codes) are taken at their first longest burst.
    DataRange d;
    std::uint16_t longest = 0;
    for (std::size_t i = 0; i < pairs; ++i) {
        if (low[i] > longest) {
            longest = low[i];
            d.leader = i;
        }
        if (longest > kLeaderThreshold) break;
    }
    // A pause longer than the leader's burst is the gap before a repeated frame: the data ends
    // before it. The leader's own pause is never compared.
    d.begin = d.leader + 1;
    d.end = pairs;
    for (std::size_t i = d.begin; i < pairs; ++i) {
        if (high[i] > longest) {
            d.end = i;
            break;
        }
    }
    return d;
}

unsigned codeBit(const CodeRecord& c, std::size_t i) {
    const std::size_t k = i / 8;
    if (k >= kCodeBytesCount) return 0;
    const std::size_t fullBytes = c.bitCount / 8;
    const std::size_t inByte = k < fullBytes ? 8 : c.bitCount % 8;
    if (i % 8 >= inByte) return 0;
    return (c.codeBytes[k] >> (inByte - 1 - i % 8)) & 1u;
}

std::uint32_t codeField(const CodeRecord& c, std::size_t first, std::size_t count) {
    std::uint32_t v = 0;
    for (std::size_t n = 0; n < count; ++n)
        v |= static_cast<std::uint32_t>(codeBit(c, first + n)) << n;
    return v;
}

bool DecodePulseDistance(std::span<const std::uint16_t> low, std::span<const std::uint16_t> high,
                         CodeRecord& record) {
    const DataRange d = startDecode(low, high, record);
    const Groups g = splitGroups(high, low, d);
    record.lowMax = g.carrier.max;
    record.lowMin = g.carrier.min;
    record.oneMax = g.one.max;
    record.oneMin = g.one.min;
    record.highMax = g.zero.max;
    record.highMin = g.zero.min;
    if (!packBits(high, d, g.one, /*doubleBytes=*/true, record)) return false;
    record.bitCount = static_cast<std::uint16_t>(d.end > d.begin ? d.end - d.begin : 0);
    record.format = 1;
    return true;
}

bool DecodePulseWidth(std::span<const std::uint16_t> low, std::span<const std::uint16_t> high,
                      CodeRecord& record) {
    const DataRange d = startDecode(low, high, record);
    const Groups g = splitGroups(low, high, d);
    record.highMax = g.carrier.max;
    record.highMin = g.carrier.min;
    record.oneMax = g.one.max;
    record.oneMin = g.one.min;
    record.lowMax = g.zero.max;
    record.lowMin = g.zero.min;
    if (!packBits(low, d, g.one, /*doubleBytes=*/false, record)) return false;
    // Type 2 has always stored the index of the last data pair here rather than the number of
    // data pairs; the two agree when the leader is entry 0. An empty capture has no last pair.
    record.bitCount = static_cast<std::uint16_t>(d.end > 0 ? d.end - 1 : 0);
    record.format = 2;
    return true;
}

CodeRecord decodeCapture(std::span<const std::uint16_t> low, std::span<const std::uint16_t> high) {
    const std::size_t entries = low.size();
    std::vector<std::uint16_t> highs(high.begin(), high.begin() + std::min(high.size(), entries));
    highs.resize(entries, 0);

    CodeRecord record;
    record.pairCount =
        static_cast<std::uint16_t>(entries == 0 ? 0 : std::min(entries - 1, kMaxPairCount));
    DecodePulseDistance(low, highs, record);
    if (record.codeValue == 0) DecodePulseWidth(low, highs, record);
    return record;
}

}  // namespace tessik
