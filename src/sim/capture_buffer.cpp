#include "sim/capture_buffer.hpp"

#include <algorithm>

namespace tessik::sim {

void CaptureBuffer::load(std::span<const std::uint16_t> low, std::span<const std::uint16_t> high,
                         std::size_t entriesPerPoll) {
    low_.assign(low.begin(), low.end());
    high_.assign(high.begin(), high.end());
    visible_ = 0;
    step_ = entriesPerPoll;
}

void CaptureBuffer::clear() {
    low_.clear();
    high_.clear();
    visible_ = 0;
}

std::size_t CaptureBuffer::poll() {
    visible_ = step_ == 0 ? low_.size() : std::min(low_.size(), visible_ + step_);
    return visible_;
}

std::span<const std::uint16_t> CaptureBuffer::visibleLow() const {
    return std::span(low_).first(visible_);
}

std::span<const std::uint16_t> CaptureBuffer::visibleHigh() const {
    return std::span(high_).first(std::min(visible_, high_.size()));
}

}  // namespace tessik::sim
