#pragma once
// A code as the signal view draws it: one pulse per entry of the receiver's recording, a mark
// (the IR burst, a low period of the receiver's output) followed by a space (the pause after
// it), with what the receiver makes of the entry (the leader, a data bit and its value, or an
// entry it does not analyse) and the timing window each period must fit. The windows are those
// Set Ir Code sends (timingWindows), so a period that lies outside its window is one the
// receiver would not recognise.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/device/commands.hpp"
#include "core/model/records.hpp"

namespace tessik {

enum class PulseRole {
    Unanalysed,  // before the leader, after the data, and the entry that ends the recording
    Leader,
    Bit,
};

struct TracePulse {
    std::uint16_t mark = 0;
    std::uint16_t space = 0;
    PulseRole role = PulseRole::Unanalysed;
    bool one = false;  // the value of a Bit
    // What the receiver checks the mark and the space against: nothing for an entry it does
    // not analyse, or for a group the table holds no value of.
    std::optional<TimingWindow> markWindow;
    std::optional<TimingWindow> spaceWindow;
    // A period the receiver would not recognise: outside the window it is checked against
    // (the window's edges count as inside).
    bool markMisses() const { return misses(mark, markWindow); }
    bool spaceMisses() const { return misses(space, spaceWindow); }
    bool operator==(const TracePulse&) const = default;

  private:
    static bool misses(std::uint16_t period, const std::optional<TimingWindow>& w) {
        return w && (period < w->min || period > w->max);
    }
};

struct SignalTrace {
    std::vector<TracePulse> pulses;
    bool operator==(const SignalTrace&) const = default;
};

// A press as the receiver recorded it: `low` holds its entries (as many as the receiver
// reported), `high` the pause of each. The leader and the bits are found as the capture dialog
// decodes the press; the windows are placed as `windows.format` says the receiver reads them.
SignalTrace captureTrace(std::span<const std::uint16_t> low, std::span<const std::uint16_t> high,
                         const TimingWindows& windows);

// A stored code rendered from its code bytes, bit count and format at the table's mid values:
// the leader, a pulse per bit, then the entry that ends the recording (a burst and the longest
// pause the receiver reports), which the receiver does not analyse. Empty for a code that was
// not decoded. The windows are the table's at `jitterPercent`.
SignalTrace codeTrace(const CodeRecord& code, const RemoteHeader& header,
                      std::int32_t jitterPercent);

}  // namespace tessik
