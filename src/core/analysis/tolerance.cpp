#include "core/analysis/tolerance.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace tessik {
namespace {

constexpr std::int32_t kWidestJitter = 100;  // timingWindows takes the jitter within 0..100
// Far beyond any jitter; keeps a wild spread from overflowing the whole percent.
constexpr double kSpreadCeiling = 1000.0;

bool present(const TimingGroup& g) {
    return g.max >= g.min;
}

// Negative or 0 when a period can fit both windows (the receiver's edges are inclusive).
std::int32_t gap(const TimingWindow& a, const TimingWindow& b) {
    return std::max(static_cast<std::int32_t>(a.min) - b.max,
                    static_cast<std::int32_t>(b.min) - a.max);
}

struct GroupWindows {
    const TimingGroup* group;
    const TimingWindow* window;
};

// Which header groups a data pair of each bit value occupies. In pulse-distance codes (format
// 1) every burst is a "low" and the pause is the "one" or the "high"; in pulse-width codes
// (format 2) the burst is the "one" or the "low" and every pause a "high".
struct Layout {
    GroupWindows one, zero;  // the bit-carrying period of a one and of a zero
    GroupWindows oneBurst, onePause, zeroBurst, zeroPause;
};

Layout layoutOf(const RemoteHeader& h, const TimingWindows& w) {
    const GroupWindows one{&h.one, &w.one}, low{&h.low, &w.low}, high{&h.high, &w.high};
    if (h.format == 2) return {one, low, one, high, low, high};
    return {one, high, low, one, low, high};
}

}  // namespace

std::vector<PairMargin> pairMargins(const RemoteHeader& h, std::int32_t jitterPercent) {
    std::vector<PairMargin> out;
    if (h.format != 1 && h.format != 2) return out;
    const TimingWindows w = timingWindows(h, jitterPercent);
    const Layout l = layoutOf(h, w);
    if (present(*l.one.group) && present(*l.zero.group))
        out.push_back({WindowPair::OneZero, gap(*l.one.window, *l.zero.window)});

    const bool leader = present(h.leaderLow) && present(h.leaderHigh);
    const auto leaderMargin = [&](const GroupWindows& burst, const GroupWindows& pause) {
        return std::max(gap(w.leaderLow, *burst.window), gap(w.leaderHigh, *pause.window));
    };
    if (leader && present(*l.oneBurst.group) && present(*l.onePause.group))
        out.push_back({WindowPair::LeaderOne, leaderMargin(l.oneBurst, l.onePause)});
    if (leader && present(*l.zeroBurst.group) && present(*l.zeroPause.group))
        out.push_back({WindowPair::LeaderZero, leaderMargin(l.zeroBurst, l.zeroPause)});
    return out;
}

// The windows only grow with the jitter, so the limit is the step before the first overlap.
std::optional<std::int32_t> overlapLimit(const RemoteHeader& header) {
    for (std::int32_t j = 0; j <= kWidestJitter; ++j) {
        const auto margins = pairMargins(header, j);
        if (std::any_of(margins.begin(), margins.end(),
                        [](const PairMargin& m) { return m.overlaps(); })) {
            if (j == 0) return std::nullopt;
            return j - 1;
        }
    }
    return kWidestJitter;
}

double PressSpread::widest() const {
    double w = 0;
    for (const GroupDeviation& g : groups)
        w = std::max(w, g.percent);
    return w;
}

PressSpread pressSpread(const CodeRecord& first, const CodeRecord& second) {
    struct Range {
        std::uint16_t max, min;
    };
    const auto ranges = [](const CodeRecord& c) {
        return std::array<Range, 5>{Range{c.leaderHigh, c.leaderHigh},
                                    Range{c.leaderLow, c.leaderLow}, Range{c.oneMax, c.oneMin},
                                    Range{c.lowMax, c.lowMin}, Range{c.highMax, c.highMin}};
    };
    const auto a = ranges(first);
    const auto b = ranges(second);
    PressSpread spread;
    for (std::size_t i = 0; i < a.size(); ++i) {
        // A group without members keeps 0 as its maximum and 0xFFFF as its minimum.
        if (a[i].max < a[i].min || b[i].max < b[i].min) continue;
        const double max = std::max(a[i].max, b[i].max);
        const double min = std::min(a[i].min, b[i].min);
        if (max == 0) continue;
        spread.groups.push_back({static_cast<TimingGroupId>(i), 100.0 * (max - min) / (max + min)});
    }
    return spread;
}

JitterSuggestion suggestJitter(double spreadPercent, std::optional<std::int32_t> limit) {
    const auto needed = std::max(
        kJitterMinPercent,
        static_cast<std::int32_t>(std::ceil(std::clamp(spreadPercent, 0.0, kSpreadCeiling))) +
            kSpreadMarginPercent);
    if (!limit || needed > *limit) return {SuggestionOutcome::WouldOverlap, needed};
    if (needed > kJitterMaxPercent) return {SuggestionOutcome::BeyondSlider, needed};
    return {SuggestionOutcome::Suggested, needed};
}

}  // namespace tessik
