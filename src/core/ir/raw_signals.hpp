#pragma once
// Raw infrared timings as text, so that recordings made with other equipment can be decoded the
// way the receiver's captures are.
//
// Two forms are read:
// - bare durations: whitespace-separated decimal microseconds, alternating IR burst and pause,
//   starting with a burst; a blank line separates one signal from the next;
// - the widely used ".ir" text format: a first line "Filetype: ...", then blocks of "key: value"
//   lines separated by "#" lines; each block with "type: raw" is one signal, its "data:" line the
//   durations and its "name:" the signal's name. Blocks of other types are skipped.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessik {

struct RawSignal {
    std::string name;  // empty for bare durations
    // Alternating burst and pause in microseconds, starting with a burst. The receiver's
    // periods are 16-bit, so longer durations are kept as 65535.
    std::vector<std::uint16_t> durations;
};

struct RawSignalsParse {
    bool ok = false;
    std::string error;  // "line N: ..." when !ok
    std::vector<RawSignal> signals;
    std::size_t skipped = 0;  // ".ir" blocks that were not raw signals
};

RawSignalsParse parseRawSignals(std::string_view text);

// A signal as the receiver would hand it over: entry i is the burst durations[2i] (a low
// period of the receiver's output) and the pause durations[2i + 1] (a high period). A recording
// that ends on a burst gets the longest pause the receiver can report, 65535, after it.
struct CaptureEntries {
    std::vector<std::uint16_t> low;
    std::vector<std::uint16_t> high;
};

CaptureEntries entriesFromDurations(std::span<const std::uint16_t> durations);

}  // namespace tessik
