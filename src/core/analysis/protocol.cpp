#include "core/analysis/protocol.hpp"

#include <cmath>
#include <cstddef>

#include "core/ir/decoders.hpp"
#include "core/ir/ir_protocols.hpp"

namespace tessik {
namespace {

// Each timing within a quarter of its nominal length: AEHA remotes run at a unit of 350..500 us
// around the nominal 425, and a remote's periods wander by some percent.
constexpr double kTolerance = 0.25;

constexpr int kSircCommandBits = 7;

// What a code's timing groups say: the leader, the period that carries no bit (the burst in
// pulse-distance codes, the pause in pulse-width codes) and the bit period of a zero and a one.
struct Periods {
    std::optional<double> leaderLow, leaderHigh, plain, zero, one;
};

std::optional<double> centre(std::uint16_t max, std::uint16_t min) {
    if (max < min) return std::nullopt;  // a group without members
    return (static_cast<double>(max) + min) / 2.0;
}

Periods measured(const CodeRecord& c) {
    const bool width = c.format == 2;
    const auto low = centre(c.lowMax, c.lowMin);
    const auto high = centre(c.highMax, c.highMin);
    return {c.leaderLow, c.leaderHigh, width ? high : low, width ? low : high,
            centre(c.oneMax, c.oneMin)};
}

Periods nominal(const FrameTiming& t, bool pulseWidth) {
    if (pulseWidth) return {t.leaderBurst, t.leaderPause, t.zeroPause, t.zeroBurst, t.oneBurst};
    return {t.leaderBurst, t.leaderPause, t.zeroBurst, t.zeroPause, t.onePause};
}

// A group the code lacks (no one bit, no zero bit) does not speak against a protocol.
bool near(const std::optional<double>& value, const std::optional<double>& expected) {
    return !value || std::abs(*value - *expected) <= kTolerance * *expected;
}

bool matches(const CodeRecord& c, const FrameTiming& t) {
    const Periods m = measured(c);
    const Periods n = nominal(t, c.format == 2);
    return near(m.leaderLow, n.leaderLow) && near(m.leaderHigh, n.leaderHigh) &&
           near(m.plain, n.plain) && near(m.zero, n.zero) && near(m.one, n.one);
}

std::optional<ProtocolName> pulseDistanceProtocol(const CodeRecord& c) {
    const std::uint16_t bits = c.bitCount;
    if (bits == 32 && (matches(c, kNecTiming) || matches(c, kSamsungTiming))) {
        const auto byte = [&c](std::size_t n) { return codeField(c, 8 * n, 8); };
        if ((byte(2) ^ byte(3)) != 0xFF) return std::nullopt;
        const auto command = static_cast<std::uint8_t>(byte(2));
        if (matches(c, kSamsungTiming)) {
            if (byte(0) != byte(1)) return std::nullopt;
            return ProtocolName{ProtocolKind::Samsung, bits, byte(0), command, {}};
        }
        if ((byte(0) ^ byte(1)) == 0xFF)
            return ProtocolName{ProtocolKind::Nec, bits, byte(0), command, {}};
        return ProtocolName{ProtocolKind::NecExtended, bits, codeField(c, 0, 16), command, {}};
    }
    // The parity nibble is the XOR of the vendor code's four nibbles.
    if (bits >= 24 && bits % 8 == 0 && matches(c, kAehaTiming)) {
        const std::uint32_t vendor = codeField(c, 0, 16);
        const std::uint32_t parity =
            (vendor ^ (vendor >> 4) ^ (vendor >> 8) ^ (vendor >> 12)) & 0xF;
        if (codeField(c, 16, 4) != parity) return std::nullopt;
        return ProtocolName{ProtocolKind::Aeha, bits, vendor, 0, {}};
    }
    return std::nullopt;
}

// SIRC frames end on their last bit, whose pause is the silence that stops the recording; the
// receiver never analyses that entry, so a 12-bit frame arrives as 11 bits. A recording that
// carries one entry more (made with other equipment) has all of them.
std::optional<ProtocolName> pulseWidthProtocol(const CodeRecord& c) {
    if (!matches(c, kSircTiming)) return std::nullopt;
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
                       codeField(c, kSircCommandBits, addressBits),
                       static_cast<std::uint8_t>(codeField(c, 0, kSircCommandBits)),
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
    const auto known = c.format == 1 ? pulseDistanceProtocol(c) : pulseWidthProtocol(c);
    if (known) return *known;
    const ProtocolKind generic =
        c.format == 1 ? ProtocolKind::PulseDistance : ProtocolKind::PulseWidth;
    return ProtocolName{generic, c.bitCount, 0, 0, {}};
}

}  // namespace tessik
