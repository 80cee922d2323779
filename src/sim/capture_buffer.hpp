#pragma once
// The receiver's capture memory: the low (IR burst) and high (pause) periods it has recorded
// since capture mode was last entered.
//
// The receiver does not know where a press begins or ends: it measures every burst and every
// pause as its IR demodulator's output changes and stores them one entry after the other. An
// entry is there once its pause has ended, when the next burst begins, or when the pause has
// lasted as long as the receiver's 16-bit microsecond counter can measure: the pause is then
// stored as 0xFFFF, and that is how every press ends. A second press made before the tool has
// read the first is stored behind it; a press still arriving when the tool fetches is fetched
// as far as it has come. Entering capture mode (CaptureMode 1) empties the memory; a burst or
// pause being measured at that moment is stored as the memory's first entry when it ends, so a
// press arriving then is recorded from the middle of its frame. The memory holds as many
// entries as one Get Capture reply can carry; what arrives after that is lost.
//
// Time is the receiver's clock in milliseconds; entries end at microsecond moments within it.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "sim/ir_signal.hpp"

namespace tessik::sim {

// (512-byte report - 10 header bytes) / 2 bytes per period.
inline constexpr std::size_t kCaptureMemoryEntries = 251;

class CaptureBuffer {
  public:
    // A press whose first burst begins at `atMs`, or once the press before it has ended when
    // that one is still being sent.
    void record(const IrSignal& signal, std::uint32_t atMs);
    // A recording that is complete at once, replacing what the memory held (for tests that need
    // a particular recording).
    void load(std::span<const std::uint16_t> low, std::span<const std::uint16_t> high);
    // CaptureMode: the entries that have ended are dropped.
    void clear(std::uint32_t nowMs);

    // The entries recorded by `nowMs`, and their periods. `high` may lack the periods a loaded
    // recording did not have.
    std::size_t count(std::uint32_t nowMs);
    std::span<const std::uint16_t> low(std::uint32_t nowMs);
    std::span<const std::uint16_t> high(std::uint32_t nowMs);
    // Nothing recorded and nothing arriving.
    bool empty() const { return entries_.empty(); }

  private:
    struct Entry {
        std::uint16_t low = 0;
        std::uint16_t high = 0;
        std::uint64_t endsUs = 0;  // when the entry is there, on the unwrapped clock
    };
    std::uint64_t nowUs(std::uint32_t nowMs);
    void settle(std::uint32_t nowMs);

    std::vector<Entry> entries_;
    std::vector<std::uint16_t> low_;  // the ended entries' periods, as the replies carry them
    std::vector<std::uint16_t> high_;
    std::size_t ended_ = 0;
    std::uint64_t lastBurstEndUs_ = 0;  // the end of the last burst recorded
    // The 32-bit tick unwrapped, so that a recording spans a wrap of the clock.
    std::uint64_t unwrappedMs_ = 0;
    std::uint32_t lastTickMs_ = 0;
    bool ticked_ = false;
};

}  // namespace tessik::sim
