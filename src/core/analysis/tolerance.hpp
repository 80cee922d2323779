#pragma once
// How much timing tolerance a table can take, and how much its presses need.
//
// The receiver recognises a button through the timing windows Set Ir Code sends: the table's
// statistics widened by the jitter. Too little jitter and a real press falls outside a window
// (the button is dead); too much and two windows overlap, so the receiver can no longer tell a
// data one from a data zero, or a data pair from the leader. Everything here is computed on the
// windows exactly as Set Ir Code sends them (timingWindows), so what is shown is what the
// receiver gets.

#include <cstdint>
#include <optional>
#include <vector>

#include "core/device/commands.hpp"
#include "core/model/records.hpp"

namespace tessik {

// The range the jitter dialog's slider offers.
inline constexpr std::int32_t kJitterMinPercent = 5;
inline constexpr std::int32_t kJitterMaxPercent = 20;
// A suggested jitter stays this many points above the spread seen between two presses: two
// presses show only part of how much a remote varies.
inline constexpr std::int32_t kSpreadMarginPercent = 2;

// The pairs of symbols the receiver must tell apart.
enum class WindowPair {
    OneZero,     // a data one and a data zero, on the period that carries the bit
    LeaderOne,   // the leader and a data pair with a one (both periods at once)
    LeaderZero,  // the leader and a data pair with a zero (both periods at once)
};

struct PairMargin {
    WindowPair pair;
    // The gap in microseconds between the two windows at the jitter asked for: the lower edge
    // of the upper window less the upper edge of the lower one. 0 or less means that a period
    // fits both windows. For the leader pairs it is the better of the two periods, since the
    // receiver confuses them only when both periods fit.
    std::int32_t marginUs;
    bool overlaps() const { return marginUs <= 0; }
    bool operator==(const PairMargin&) const = default;
};

// The margins of every pair whose groups the table holds (a group never filled has no window),
// at `jitterPercent`. Empty for a table without codes.
std::vector<PairMargin> pairMargins(const RemoteHeader& header, std::int32_t jitterPercent);

// The largest whole-percent jitter (0..100) at which no pair overlaps; nothing when they
// overlap even without jitter. A table without pairs can take any jitter: 100.
std::optional<std::int32_t> overlapLimit(const RemoteHeader& header);

// The header's five timing groups, in its own order.
enum class TimingGroupId { LeaderHigh, LeaderLow, One, Low, High };

struct GroupDeviation {
    TimingGroupId group;
    double percent;
    bool operator==(const GroupDeviation&) const = default;
};

// How far the periods of a button's two presses lie from their common centre, per timing
// group: half the range both presses cover together, relative to its middle. It is what the
// jitter must add around the recorded timings for the next press of the remote to fit. Groups
// either press lacks are left out.
struct PressSpread {
    std::vector<GroupDeviation> groups;
    double widest() const;  // 0 when no group is compared
};

PressSpread pressSpread(const CodeRecord& first, const CodeRecord& second);

enum class SuggestionOutcome {
    Suggested,     // `jitter` covers the spread and keeps every window apart
    BeyondSlider,  // covering the spread would need `jitter`, more than the slider offers
    WouldOverlap,  // covering the spread would need `jitter`, above the overlap limit
};

struct JitterSuggestion {
    SuggestionOutcome outcome;
    std::int32_t jitter;  // the suggestion, or what covering the spread would need
    bool operator==(const JitterSuggestion&) const = default;
};

// The smallest whole percent within the slider's range that covers `spreadPercent` with the
// margin and is not above `limit` (overlapLimit's result).
JitterSuggestion suggestJitter(double spreadPercent, std::optional<std::int32_t> limit);

}  // namespace tessik
