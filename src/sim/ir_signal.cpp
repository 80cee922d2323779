#include "sim/ir_signal.hpp"

#include <algorithm>
#include <cmath>
#include <random>

#include "core/ir/ir_protocols.hpp"
#include "core/ir/raw_signals.hpp"

namespace tessik::sim {
namespace {

constexpr std::uint16_t kNecRepeatPause = 2250;

void addEntry(IrSignal& s, std::uint16_t low, std::uint16_t high) {
    s.low.push_back(low);
    s.high.push_back(high);
}

// The frame as the receiver records it: the core renders the protocol's timings (the same ones
// an imported code file's signals get); the silence after the frame is the longest pause.
IrSignal recorded(const FrameTiming& timing, const std::vector<bool>& bits) {
    CaptureEntries e = entriesFromDurations(renderFrame(timing, bits));
    return IrSignal{std::move(e.low), std::move(e.high)};
}

IrSignal bytesLsbFirst(const FrameTiming& timing, std::span<const std::uint8_t> bytes) {
    std::vector<bool> bits;
    for (const std::uint8_t b : bytes)
        appendBitsLsbFirst(bits, b, 8);
    return recorded(timing, bits);
}

}  // namespace

IrSignal necSignal(std::uint8_t address, std::uint8_t command) {
    const std::uint8_t bytes[] = {address, static_cast<std::uint8_t>(~address), command,
                                  static_cast<std::uint8_t>(~command)};
    return bytesLsbFirst(kNecTiming, bytes);
}

IrSignal necExtendedSignal(std::uint16_t address, std::uint8_t command) {
    const std::uint8_t bytes[] = {static_cast<std::uint8_t>(address & 0xFF),
                                  static_cast<std::uint8_t>(address >> 8), command,
                                  static_cast<std::uint8_t>(~command)};
    return bytesLsbFirst(kNecTiming, bytes);
}

IrSignal necRepeatSignal() {
    IrSignal s;
    addEntry(s, kNecTiming.leaderBurst, kNecRepeatPause);
    addEntry(s, kNecTiming.stopBurst, kEndPause);
    return s;
}

IrSignal sircSignal(SircBits bits, std::uint8_t command, std::uint16_t address) {
    std::vector<bool> word;
    appendBitsLsbFirst(word, command & 0x7Fu, 7);
    appendBitsLsbFirst(word, address, static_cast<int>(bits) - 7);
    return recorded(kSircTiming, word);
}

IrSignal aehaSignal(std::span<const std::uint8_t> bytes) {
    return bytesLsbFirst(kAehaTiming, bytes);
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
