#pragma once
// IR code files as timings, so that recordings made with other equipment, and the codes the
// public IR databases publish, can be decoded the way the receiver's captures are.
//
// The forms read, told apart by their first lines:
// - the widely used ".ir" text format: a first line "Filetype: ...", then blocks of "key: value"
//   lines separated by "#" lines, one signal each with its "name:". A "type: raw" block's
//   "data:" line holds the durations; a "type: parsed" block names a "protocol:" with its
//   "address:" and "command:" bytes (least significant first), rendered to timings
//   (ir_protocols.hpp). Collections gathered from many remotes name each signal after the file
//   it came from, "TVs/LG/AKB75675311.ir / Power": that file is the signal's remote;
// - LIRC's "lircd.conf": "begin remote" blocks with the remote's timings and flags, and its
//   buttons as "begin codes" (a name and a hex code per line) or "begin raw_codes" (a "name"
//   line, then durations);
// - Pronto hex: "0000" learned codes, one per line, optionally "name: " before the words;
// - bare durations: whitespace-separated decimal microseconds, alternating IR burst and pause,
//   starting with a burst; a blank line separates one signal from the next.
// Every signal becomes the durations of one frame. Lines may end in LF, CR LF or a lone CR.
//
// The work a file can cause is bounded, so a hostile one costs at most a few seconds: the file
// is at most kMaxSignalFileBytes, it holds at most kMaxSignals signals (the smallest block
// that names a signal in the ".ir" format takes some 55 bytes, so a file of real signals at the
// size limit stays below), and each name is cut to kMaxSignalNameBytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessik {

inline constexpr std::size_t kMaxSignalFileBytes = 16 * 1024 * 1024;
inline constexpr std::size_t kMaxSignals = 300'000;
inline constexpr std::size_t kMaxSignalNameBytes = 256;

struct RawSignal {
    std::string name;      // empty for bare durations
    std::string protocol;  // what the file says the signal is ("NEC", "SIRC"); may be empty
    // Alternating burst and pause in microseconds, starting with a burst. The receiver's
    // periods are 16-bit, so longer durations are kept as 65535.
    std::vector<std::uint16_t> durations;
    // Why the receiver cannot learn the signal (a bi-phase code, say); durations are empty then.
    std::string unlearnable;
    // The remote it belongs to where the file says (a lircd.conf remote, the source file of a
    // collection's ".ir" signal); empty otherwise.
    std::string remote;
};

// A collection's signal name "SOURCE.ir / BUTTON" split into its source file and button name;
// nothing for any other name.
struct CollectionName {
    std::string_view remote;
    std::string_view button;
};
std::optional<CollectionName> splitCollectionName(std::string_view name);

struct RawSignalsParse {
    bool ok = false;
    std::string error;  // "line N: ..." when !ok
    std::vector<RawSignal> found;
    std::size_t skipped = 0;  // blocks that held no signal
};

RawSignalsParse parseRawSignals(std::string_view text);

// A signal as the receiver would hand it over: entry i is the burst durations[2i] (a low
// period of the receiver's output) and the pause durations[2i + 1] (a high period). A recording
// that ends on a burst gets the longest pause the receiver can report, 65535, after it. Only
// the first 65536 entries are made: the decoders look at no more pairs than a 16-bit count
// holds.
struct CaptureEntries {
    std::vector<std::uint16_t> low;
    std::vector<std::uint16_t> high;
};

CaptureEntries entriesFromDurations(std::span<const std::uint16_t> durations);

}  // namespace tessik
