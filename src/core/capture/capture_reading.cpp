#include "core/capture/capture_reading.hpp"

#include <algorithm>

#include "core/ir/decoders.hpp"

namespace tessik {

bool frameEnded(std::span<const std::uint16_t> low, std::span<const std::uint16_t> high) {
    const std::size_t n = std::min(low.size(), high.size());
    if (n == 0) return false;
    // The decoders look at every entry but the last; the last one's pause counts too, as the
    // silence that ends a recording.
    const DataRange d = locateData(low, high, n - 1);
    return d.end < n - 1 || high[n - 1] > low[d.leader];
}

std::span<const std::uint16_t> periodsOf(const std::vector<std::uint16_t>& half,
                                         const CapturePiece& piece) {
    const std::size_t begin = std::min(piece.begin, half.size());
    return std::span(half).subspan(begin, std::min(piece.end, half.size()) - begin);
}

std::vector<CapturePiece> splitCapture(std::span<const std::uint16_t> low,
                                       std::span<const std::uint16_t> high, std::size_t from,
                                       bool settled) {
    using Kind = CapturePiece::Kind;
    std::vector<std::uint16_t> pauses(high.begin(),
                                      high.begin() + std::min(high.size(), low.size()));
    pauses.resize(low.size(), 0);  // pauses the device did not send count as 0
    const auto burstless =
        std::find(low.begin() + static_cast<std::ptrdiff_t>(std::min(from, low.size())), low.end(),
                  std::uint16_t{0});
    const auto n = static_cast<std::size_t>(burstless - low.begin());

    std::vector<CapturePiece> pieces;
    for (std::size_t begin = from; begin < n;) {
        std::size_t end = begin;
        while (end < n && pauses[end] != kSilence)
            ++end;
        const bool closed = end < n;
        if (closed) ++end;
        const std::size_t size = end - begin;
        Kind kind = Kind::Press;
        if (closed) {
            kind = size <= kMinCaptureEntries ? Kind::Repeat : Kind::Press;
        } else if (!settled) {
            kind = Kind::Unfinished;
        } else if (size > kMinCaptureEntries &&
                   frameEnded(low.subspan(begin, size), std::span(pauses).subspan(begin, size))) {
            kind = Kind::Press;  // held until the memory was full: its first frame is whole
        } else {
            kind = size <= kMinCaptureEntries && !pieces.empty() ? Kind::Repeat : Kind::CutShort;
        }
        pieces.push_back({kind, begin, end});
        begin = end;
    }
    return pieces;
}

}  // namespace tessik
