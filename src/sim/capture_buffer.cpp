#include "sim/capture_buffer.hpp"

#include <algorithm>

namespace tessik::sim {

std::uint64_t CaptureBuffer::nowUs(std::uint32_t nowMs) {
    if (!ticked_) {
        ticked_ = true;
        unwrappedMs_ = nowMs;
    } else {
        unwrappedMs_ += static_cast<std::uint32_t>(nowMs - lastTickMs_);
    }
    lastTickMs_ = nowMs;
    return unwrappedMs_ * 1000;
}

void CaptureBuffer::record(const IrSignal& signal, std::uint32_t atMs) {
    if (signal.low.empty()) return;
    // A press made while the one before it is still being sent follows once that one has
    // ended: a remote sends one frame at a time, and a hand takes longer than that between two
    // buttons.
    std::uint64_t start = nowUs(atMs);
    if (start < lastBurstEndUs_ && !entries_.empty()) start = entries_.back().endsUs;
    // The pause after the last recorded burst ends where this press begins, unless the
    // receiver's counter ran out first.
    if (!entries_.empty() && start < entries_.back().endsUs) {
        Entry& last = entries_.back();
        const std::uint64_t burstEnd = last.endsUs - last.high;
        last.high = static_cast<std::uint16_t>(start - burstEnd);
        last.endsUs = start;
        high_.back() = last.high;
    }
    high_.resize(low_.size(), 0);  // a loaded recording may have lacked pauses
    std::uint64_t t = start;
    for (std::size_t i = 0; i < signal.low.size(); ++i) {
        const std::uint16_t high = i < signal.high.size() ? signal.high[i] : kEndPause;
        t += signal.low[i];
        lastBurstEndUs_ = t;
        t += high;
        entries_.push_back(Entry{signal.low[i], high, t});
        low_.push_back(signal.low[i]);
        high_.push_back(high);
    }
}

void CaptureBuffer::load(std::span<const std::uint16_t> low, std::span<const std::uint16_t> high) {
    entries_.assign(low.size(), Entry{});
    low_.assign(low.begin(), low.end());
    high_.assign(high.begin(), high.end());
}

void CaptureBuffer::clear(std::uint32_t nowMs) {
    settle(nowMs);
    const auto n = static_cast<std::ptrdiff_t>(ended_);
    entries_.erase(entries_.begin(), entries_.begin() + n);
    low_.erase(low_.begin(), low_.begin() + std::min(n, static_cast<std::ptrdiff_t>(low_.size())));
    high_.erase(high_.begin(),
                high_.begin() + std::min(n, static_cast<std::ptrdiff_t>(high_.size())));
    ended_ = 0;
}

void CaptureBuffer::settle(std::uint32_t nowMs) {
    const std::uint64_t now = nowUs(nowMs);
    ended_ =
        static_cast<std::size_t>(std::find_if(entries_.begin(), entries_.end(),
                                              [now](const Entry& e) { return e.endsUs > now; }) -
                                 entries_.begin());
}

std::size_t CaptureBuffer::count(std::uint32_t nowMs) {
    settle(nowMs);
    return std::min(ended_, kCaptureMemoryEntries);
}

std::span<const std::uint16_t> CaptureBuffer::low(std::uint32_t nowMs) {
    return std::span(low_).first(count(nowMs));
}

std::span<const std::uint16_t> CaptureBuffer::high(std::uint32_t nowMs) {
    return std::span(high_).first(std::min(count(nowMs), high_.size()));
}

}  // namespace tessik::sim
