#include "core/analysis/protocol.hpp"

#include <cmath>
#include <cstddef>

namespace tessik {
namespace {

// Nominal periods in microseconds: the leader, the period that carries no bit (the burst in
// pulse-distance codes, the pause in pulse-width codes) and the bit period of a zero and a one.
struct NominalTiming {
    double leaderLow, leaderHigh, plain, zero, one;
};

constexpr NominalTiming kNecTiming{9000, 4500, 560, 560, 1690};
constexpr NominalTiming kSamsungTiming{4500, 4500, 560, 560, 1690};
// AEHA remotes run at a unit T of 350..500 us (leader 8T/4T, one 3T); 425 is the middle.
constexpr NominalTiming kAehaTiming{3400, 1700, 425, 425, 1275};
constexpr NominalTiming kSircTiming{2400, 600, 600, 600, 1200};
constexpr double kTolerance = 0.25;

constexpr int kSircCommandBits = 7;

struct MeasuredTiming {
    std::optional<double> leaderLow, leaderHigh, plain, zero, one;
};

std::optional<double> centre(std::uint16_t max, std::uint16_t min) {
    if (max < min) return std::nullopt;  // a group without members
    return (static_cast<double>(max) + min) / 2.0;
}

MeasuredTiming measured(const CodeRecord& c) {
    MeasuredTiming m{c.leaderLow, c.leaderHigh, {}, {}, centre(c.oneMax, c.oneMin)};
    const auto low = centre(c.lowMax, c.lowMin);
    const auto high = centre(c.highMax, c.highMin);
    m.plain = c.format == 2 ? high : low;
    m.zero = c.format == 2 ? low : high;
    return m;
}

// A group the code lacks (no one bit, no zero bit) does not speak against a protocol.
bool near(const std::optional<double>& value, double nominal) {
    return !value || std::abs(*value - nominal) <= kTolerance * nominal;
}

bool matches(const MeasuredTiming& m, const NominalTiming& t) {
    return near(m.leaderLow, t.leaderLow) && near(m.leaderHigh, t.leaderHigh) &&
           near(m.plain, t.plain) && near(m.zero, t.zero) && near(m.one, t.one);
}

// Bit `i` in the order received. Full code bytes hold eight bits, first bit highest; a last
// partial byte holds its bits in its low end.
unsigned bitAt(const CodeRecord& c, std::size_t i) {
    const std::size_t k = i / 8;
    const std::size_t fullBytes = c.bitCount / 8;
    const std::size_t inByte = k < fullBytes ? 8 : c.bitCount % 8;
    return (c.codeBytes[k] >> (inByte - 1 - i % 8)) & 1u;
}

// `count` bits from bit `first`, least significant first, as the protocols send their fields.
std::uint32_t field(const CodeRecord& c, std::size_t first, std::size_t count) {
    std::uint32_t v = 0;
    for (std::size_t n = 0; n < count; ++n)
        v |= static_cast<std::uint32_t>(bitAt(c, first + n)) << n;
    return v;
}

std::optional<ProtocolName> pulseDistanceProtocol(const CodeRecord& c, const MeasuredTiming& m) {
    const std::uint16_t bits = c.bitCount;
    if (bits == 32 && (matches(m, kNecTiming) || matches(m, kSamsungTiming))) {
        const auto byte = [&c](std::size_t n) { return field(c, 8 * n, 8); };
        if ((byte(2) ^ byte(3)) != 0xFF) return std::nullopt;
        const auto command = static_cast<std::uint8_t>(byte(2));
        if (matches(m, kSamsungTiming)) {
            if (byte(0) != byte(1)) return std::nullopt;
            return ProtocolName{ProtocolKind::Samsung, bits, byte(0), command, {}};
        }
        if ((byte(0) ^ byte(1)) == 0xFF)
            return ProtocolName{ProtocolKind::Nec, bits, byte(0), command, {}};
        return ProtocolName{ProtocolKind::NecExtended, bits, field(c, 0, 16), command, {}};
    }
    // The parity nibble is the XOR of the vendor code's four nibbles.
    if (bits >= 24 && bits % 8 == 0 && matches(m, kAehaTiming)) {
        const std::uint32_t vendor = field(c, 0, 16);
        const std::uint32_t parity =
            (vendor ^ (vendor >> 4) ^ (vendor >> 8) ^ (vendor >> 12)) & 0xF;
        if (field(c, 16, 4) != parity) return std::nullopt;
        return ProtocolName{ProtocolKind::Aeha, bits, vendor, 0, {}};
    }
    return std::nullopt;
}

// SIRC frames end on their last bit, whose pause is the silence that stops the recording; the
// receiver never analyses that entry, so a 12-bit frame arrives as 11 bits. A recording that
// carries one entry more (made with other equipment) has all of them.
std::optional<ProtocolName> pulseWidthProtocol(const CodeRecord& c, const MeasuredTiming& m) {
    if (!matches(m, kSircTiming)) return std::nullopt;
    struct Frame {
        ProtocolKind kind;
        std::uint16_t bits;
    };
    for (const Frame f : {Frame{ProtocolKind::Sirc12, 12}, Frame{ProtocolKind::Sirc15, 15},
                          Frame{ProtocolKind::Sirc20, 20}}) {
        if (c.bitCount != f.bits && c.bitCount + 1 != f.bits) continue;
        const std::size_t addressBits = c.bitCount - kSircCommandBits;
        ProtocolName p{f.kind,
                       c.bitCount,
                       field(c, kSircCommandBits, addressBits),
                       static_cast<std::uint8_t>(field(c, 0, kSircCommandBits)),
                       {}};
        if (c.bitCount != f.bits) p.otherAddress = p.address | (1u << addressBits);
        return p;
    }
    return std::nullopt;
}

}  // namespace

ProtocolName identifyProtocol(const CodeRecord& c) {
    if ((c.format != 1 && c.format != 2) || c.bitCount == 0 || c.bitCount > kCodeBytesCount * 8)
        return ProtocolName{ProtocolKind::Undecoded, c.bitCount, 0, 0, {}};
    const MeasuredTiming m = measured(c);
    const auto known = c.format == 1 ? pulseDistanceProtocol(c, m) : pulseWidthProtocol(c, m);
    if (known) return *known;
    const ProtocolKind generic =
        c.format == 1 ? ProtocolKind::PulseDistance : ProtocolKind::PulseWidth;
    return ProtocolName{generic, c.bitCount, 0, 0, {}};
}

}  // namespace tessik
