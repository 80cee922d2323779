#include "core/analysis/signal_trace.hpp"

#include <algorithm>
#include <limits>

#include "core/ir/decoders.hpp"

namespace tessik {
namespace {

constexpr std::uint8_t kPulseDistance = 1;
constexpr std::uint8_t kPulseWidth = 2;
// The silence after the last burst is longer than the receiver's counter reaches.
constexpr std::uint16_t kEndPause = std::numeric_limits<std::uint16_t>::max();

// A group without members is sent with its maximum below its minimum: no period fits it.
std::optional<TimingWindow> present(const TimingWindow& w) {
    if (w.max < w.min) return std::nullopt;
    return w;
}

// In pulse-distance codes every data burst is a "low" and the pause the "one" or the "high";
// in pulse-width codes the burst is the "one" or the "low" and every pause a "high".
void placeWindows(TracePulse& p, const TimingWindows& w) {
    if (p.role == PulseRole::Leader) {
        p.markWindow = present(w.leaderLow);
        p.spaceWindow = present(w.leaderHigh);
    } else if (p.role == PulseRole::Bit && w.format == kPulseDistance) {
        p.markWindow = present(w.low);
        p.spaceWindow = present(p.one ? w.one : w.high);
    } else if (p.role == PulseRole::Bit && w.format == kPulseWidth) {
        p.markWindow = present(p.one ? w.one : w.low);
        p.spaceWindow = present(w.high);
    }
}

}  // namespace

SignalTrace captureTrace(std::span<const std::uint16_t> low, std::span<const std::uint16_t> high,
                         const TimingWindows& windows) {
    std::vector<std::uint16_t> highs(high.begin(),
                                     high.begin() + std::min(high.size(), low.size()));
    highs.resize(low.size(), 0);
    const CodeRecord decoded = decodeCapture(low, highs);
    const DataRange d = locateData(low, highs, decoded.pairCount);
    // A decoder that found no bits still names its format; codeValue 0 says nothing was read.
    const bool read = decoded.codeValue != 0 &&
                      (decoded.format == kPulseDistance || decoded.format == kPulseWidth);

    SignalTrace trace;
    for (std::size_t i = 0; i < low.size(); ++i) {
        TracePulse p{low[i], highs[i], PulseRole::Unanalysed, false, {}, {}};
        if (read) {
            if (i == d.leader) p.role = PulseRole::Leader;
            if (i >= d.begin && i < d.end) {
                const std::uint16_t bitPeriod = decoded.format == kPulseWidth ? p.mark : p.space;
                p.role = PulseRole::Bit;
                p.one = decoded.oneMin <= bitPeriod && bitPeriod <= decoded.oneMax;
            }
        }
        placeWindows(p, windows);
        trace.pulses.push_back(p);
    }
    return trace;
}

SignalTrace codeTrace(const CodeRecord& code, const RemoteHeader& header,
                      std::int32_t jitterPercent) {
    SignalTrace trace;
    if (!code.occupied() || (code.format != kPulseDistance && code.format != kPulseWidth))
        return trace;
    const TimingWindows windows = timingWindows(header, jitterPercent);
    const bool width = code.format == kPulseWidth;
    const auto add = [&](PulseRole role, bool one, std::uint16_t mark, std::uint16_t space) {
        TracePulse p{mark, space, role, one, {}, {}};
        placeWindows(p, windows);
        trace.pulses.push_back(p);
    };
    add(PulseRole::Leader, false, header.leaderLow.mid, header.leaderHigh.mid);
    const std::size_t bits = std::min<std::size_t>(code.bitCount, kMaxDecodedBits);
    for (std::size_t i = 0; i < bits; ++i) {
        const bool one = codeBit(code, i) != 0;
        if (width) {
            add(PulseRole::Bit, one, one ? header.one.mid : header.low.mid, header.high.mid);
        } else {
            add(PulseRole::Bit, one, header.low.mid, one ? header.one.mid : header.high.mid);
        }
    }
    // Pulse-distance frames end in a stop burst; a pulse-width frame's last bit is the entry
    // that stopped the recording, and its value never reached the receiver.
    add(PulseRole::Unanalysed, false, header.low.mid, kEndPause);
    return trace;
}

}  // namespace tessik
