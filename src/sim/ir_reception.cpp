#include "sim/ir_reception.hpp"

#include <algorithm>

#include "sim/simulated_receiver.hpp"

namespace tessik::sim {
namespace {

constexpr std::uint8_t kPulseDistance = 1;
constexpr std::uint8_t kPulseWidth = 2;

bool inside(std::uint16_t value, const TimingWindow& window) {
    return window.min <= value && value <= window.max;
}

// One data entry: the bit, or nothing when a period lies outside its windows.
std::optional<std::uint8_t> readBit(const TimingWindows& w, std::uint16_t low, std::uint16_t high) {
    // Pulse distance: equal bursts, the pause tells the bit. Pulse width: equal pauses, the
    // burst tells it. The "low" and "high" windows hold the periods of a zero (and the bursts
    // or pauses that carry no bit), as the tool's statistics name them.
    const bool distance = w.format == kPulseDistance;
    const std::uint16_t carrier = distance ? low : high;
    const std::uint16_t bit = distance ? high : low;
    const bool carrierFits = distance ? inside(carrier, w.low) : inside(carrier, w.high);
    if (!carrierFits) return std::nullopt;
    if (inside(bit, w.one)) return 1;
    const bool zero = distance ? inside(bit, w.high) : inside(bit, w.low);
    if (zero) return 0;
    return std::nullopt;
}

// Types a key list from `t` on; returns the time of its last edge (`t` when it typed nothing).
std::uint32_t typeList(const KeyCodeList& keys, std::uint32_t t, std::vector<TypedKey>& out) {
    std::uint32_t last = t;
    for (const std::uint16_t word : keys) {
        if (word == 0) break;
        const auto usage = static_cast<std::uint8_t>(word & 0xFF);
        const auto modifiers = static_cast<std::uint8_t>(word >> 8);
        out.push_back(TypedKey{usage, modifiers, true, t});
        out.push_back(TypedKey{usage, modifiers, false, t + kKeyReportIntervalMs});
        last = t + kKeyReportIntervalMs;
        t += 2 * kKeyReportIntervalMs;
    }
    return last;
}

void runMacro(const MacroEntry& macro, std::uint32_t t, std::vector<TypedKey>& out) {
    const std::uint32_t pause = macro.interval == 0 ? kUnsetMacroIntervalMs : macro.interval;
    bool first = true;
    for (const KeyCodeList& command : macro.commands) {
        if (command[0] == 0) break;
        if (!first) t += pause;
        first = false;
        if (command[0] == kMacroMarker) continue;  // no macro runs another
        t = typeList(command, t, out);
    }
}

}  // namespace

std::optional<std::array<std::uint8_t, kCodeBytesCount>> readCode(const TimingWindows& w,
                                                                  const IrSignal& signal) {
    if (w.format != kPulseDistance && w.format != kPulseWidth) return std::nullopt;
    if (w.bitCount == 0 || w.bitCount > kCodeBytesCount * 8 - 1) return std::nullopt;
    const std::size_t entries = std::min(signal.low.size(), signal.high.size());
    std::size_t x = 0;
    while (x < entries &&
           !(inside(signal.low[x], w.leaderLow) && inside(signal.high[x], w.leaderHigh))) {
        ++x;
    }
    if (x + w.bitCount >= entries) return std::nullopt;  // no leader, or too few entries after it

    std::array<std::uint8_t, kCodeBytesCount> code{};
    std::size_t k = 0;
    int c = 0;
    for (std::size_t i = x + 1; i <= x + w.bitCount; ++i) {
        const auto bit = readBit(w, signal.low[i], signal.high[i]);
        if (!bit) return std::nullopt;
        // The tool's packing: bits enter each byte from the right, most significant first; the
        // last partial byte keeps its bits at the bottom.
        code[k] = static_cast<std::uint8_t>(code[k] << 1 | *bit);
        if (++c == 8) {
            ++k;
            c = 0;
        }
    }
    return code;
}

std::optional<std::size_t> findSlot(const DeviceTable& table,
                                    const std::array<std::uint8_t, kCodeBytesCount>& code) {
    for (std::size_t slot = 0; slot < kButtonSlots; ++slot) {
        const auto held = table.returnCode(slot).codeBytes;
        const bool free =
            std::all_of(held.begin(), held.end(), [](std::uint8_t b) { return b == 0; });
        if (!free && held == code) return slot;
    }
    return std::nullopt;
}

std::vector<TypedKey> keysForSlot(const DeviceTable& table, std::size_t slot,
                                  std::uint32_t startMs) {
    std::vector<TypedKey> out;
    if (slot >= kButtonSlots) return out;
    const KeyCodeList keys = table.returnCode(slot).keys;
    if (keys[0] == kMacroMarker) {
        if (keys[1] < kMacroSlots) runMacro(table.macro(keys[1]), startMs, out);
        return out;
    }
    typeList(keys, startMs, out);
    return out;
}

PressResult IrReception::press(const VirtualRemote& remote, std::string_view button,
                               std::optional<TimingNoise> noise) {
    std::optional<IrSignal> signal = remote.signal(button);
    if (!signal) return PressResult{Heard::NoSuchButton, std::nullopt, {}};
    if (noise && noise->percent > 0) signal = withTimingNoise(*signal, noise->percent, noise->seed);
    return receive(*signal);
}

PressResult IrReception::receive(const IrSignal& signal) {
    // Off the bus it has no power; as a boot loader waiting for firmware it runs no receiver.
    if (!receiver_.plugged() || receiver_.faults().absent ||
        receiver_.identity().productId == kProductIdUpdater) {
        return PressResult{Heard::NotListening, std::nullopt, {}};
    }
    if (receiver_.captureMode()) {
        // Recorded behind whatever the capture memory holds, as it arrives.
        receiver_.capture().record(signal, receiver_.clock().tickMs());
        return PressResult{Heard::Captured, std::nullopt, {}, signal.entries()};
    }
    const DeviceTable& table = receiver_.table();
    const auto code = readCode(table.timing(), signal);
    const auto slot = code ? findSlot(table, *code) : std::nullopt;
    if (!slot) return PressResult{Heard::NotRecognised, std::nullopt, {}};
    PressResult result{Heard::Typed, slot, keysForSlot(table, *slot, receiver_.clock().tickMs())};
    typed_.insert(typed_.end(), result.keys.begin(), result.keys.end());
    return result;
}

}  // namespace tessik::sim
