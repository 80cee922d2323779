#pragma once
// The receiver's capture memory: the low (IR burst) and high (pause) periods of the press being
// recorded. A real receiver fills it while the signal arrives, so the host sees the entry count
// grow over successive Start Capture polls and then stand still; the host fetches the periods
// once the count has stopped growing.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tessik::sim {

// With the 350 ms poll, a 34-entry frame shows 16, 32, 34, 34: fetched at the fourth poll.
inline constexpr std::size_t kDefaultEntriesPerPoll = 16;

class CaptureBuffer {
  public:
    // A new recording: entry i is (low[i], high[i]). `high` may be shorter than `low` (its
    // missing entries are simply not there). Each Start Capture poll reveals `entriesPerPoll`
    // more entries (0: all at once).
    void load(std::span<const std::uint16_t> low, std::span<const std::uint16_t> high,
              std::size_t entriesPerPoll = kDefaultEntriesPerPoll);
    void clear();

    // One Start Capture poll: reveals the next entries and returns the visible count.
    std::size_t poll();

    std::size_t visibleCount() const { return visible_; }
    std::size_t totalCount() const { return low_.size(); }
    bool empty() const { return low_.empty(); }
    std::span<const std::uint16_t> visibleLow() const;
    std::span<const std::uint16_t> visibleHigh() const;

  private:
    std::vector<std::uint16_t> low_;
    std::vector<std::uint16_t> high_;
    std::size_t visible_ = 0;
    std::size_t step_ = kDefaultEntriesPerPoll;
};

}  // namespace tessik::sim
