#include "sim/ir_signal.hpp"

#include <algorithm>
#include <cmath>
#include <random>

namespace tessik::sim {
namespace {

struct PulseDistanceTiming {
    std::uint16_t leaderLow;
    std::uint16_t leaderHigh;
    std::uint16_t burst;
    std::uint16_t zeroPause;
    std::uint16_t onePause;
};

constexpr PulseDistanceTiming kNec{9000, 4500, 560, 560, 1690};
constexpr PulseDistanceTiming kAeha{3400, 1700, 425, 425, 1275};

constexpr std::uint16_t kNecRepeatPause = 2250;

constexpr std::uint16_t kSircLeader = 2400;
constexpr std::uint16_t kSircUnit = 600;

void addEntry(IrSignal& s, std::uint16_t low, std::uint16_t high) {
    s.low.push_back(low);
    s.high.push_back(high);
}

IrSignal pulseDistanceFrame(const PulseDistanceTiming& t, std::span<const std::uint8_t> bytes) {
    IrSignal s;
    addEntry(s, t.leaderLow, t.leaderHigh);
    for (std::uint8_t byte : bytes) {
        for (int bit = 0; bit < 8; ++bit) {
            addEntry(s, t.burst, ((byte >> bit) & 1) != 0 ? t.onePause : t.zeroPause);
        }
    }
    addEntry(s, t.burst, kEndPause);  // stop burst
    return s;
}

}  // namespace

IrSignal necSignal(std::uint8_t address, std::uint8_t command) {
    const std::uint8_t bytes[] = {address, static_cast<std::uint8_t>(~address), command,
                                  static_cast<std::uint8_t>(~command)};
    return pulseDistanceFrame(kNec, bytes);
}

IrSignal necExtendedSignal(std::uint16_t address, std::uint8_t command) {
    const std::uint8_t bytes[] = {static_cast<std::uint8_t>(address & 0xFF),
                                  static_cast<std::uint8_t>(address >> 8), command,
                                  static_cast<std::uint8_t>(~command)};
    return pulseDistanceFrame(kNec, bytes);
}

IrSignal necRepeatSignal() {
    IrSignal s;
    addEntry(s, kNec.leaderLow, kNecRepeatPause);
    addEntry(s, kNec.burst, kEndPause);
    return s;
}

IrSignal sircSignal(SircBits bits, std::uint8_t command, std::uint16_t address) {
    const int addressBits = static_cast<int>(bits) - 7;
    const std::uint32_t word = (command & 0x7Fu) | (static_cast<std::uint32_t>(address) << 7);
    IrSignal s;
    addEntry(s, kSircLeader, kSircUnit);
    for (int bit = 0; bit < 7 + addressBits; ++bit) {
        const bool one = ((word >> bit) & 1) != 0;
        addEntry(s, one ? 2 * kSircUnit : kSircUnit, kSircUnit);
    }
    s.high.back() = kEndPause;
    return s;
}

IrSignal aehaSignal(std::span<const std::uint8_t> bytes) {
    return pulseDistanceFrame(kAeha, bytes);
}

IrSignal withTimingNoise(const IrSignal& signal, double percent, std::uint32_t seed) {
    // mt19937 gives the same numbers everywhere; the scaling to [-1, 1] is done here rather than
    // by a standard distribution, whose output differs between standard libraries.
    std::mt19937 rng(seed);
    const auto noisy = [&](std::uint16_t v) -> std::uint16_t {
        const double u = static_cast<double>(rng()) / 4294967295.0 * 2.0 - 1.0;
        if (v == kEndPause) return v;
        const double stretched = std::round(v * (1.0 + percent / 100.0 * u));
        return static_cast<std::uint16_t>(std::clamp(stretched, 1.0, 65534.0));
    };
    IrSignal out;
    for (std::size_t i = 0; i < signal.entries(); ++i) {
        const std::uint16_t low = noisy(signal.low[i]);
        addEntry(out, low, noisy(i < signal.high.size() ? signal.high[i] : kEndPause));
    }
    return out;
}

}  // namespace tessik::sim
