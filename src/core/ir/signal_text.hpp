#pragma once
// Line and number reading shared by the readers of IR code files (raw_signals.cpp,
// lirc_conf.cpp, pronto.cpp). Internal to core/ir.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ir/raw_signals.hpp"

namespace tessik::signal_text {

inline bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view s);
// Splits `text` into lines; `line` receives the next one (without its terminator: LF, CR LF
// or CR).
bool nextLine(std::string_view& text, std::string_view& line);
// A name from the file cut to kMaxSignalNameBytes, at a character boundary.
std::string clippedName(std::string_view name);
// Adds `signal`, its name clipped, to `result`; false with the error for `lineNo` when the file
// already holds kMaxSignals.
bool keepSignal(RawSignalsParse& result, RawSignal signal, std::size_t lineNo);
std::string lineError(std::size_t lineNo, std::string_view what);
// `text` in double quotes, control bytes escaped: a word of the input echoed in a message.
std::string quoted(std::string_view text);
// The whitespace-separated words of a line.
std::vector<std::string_view> words(std::string_view line);
// A decimal, or with "0x" a hexadecimal, number; nothing when it is not one or above `max`.
std::optional<std::uint64_t> number(std::string_view word, std::uint64_t max = UINT64_MAX);
// A duration in microseconds as the receiver's 16-bit periods hold it: longer ones are 65535.
std::uint16_t period(std::uint64_t us);

// Durations being built: a burst after a burst (or a pause after a pause) lengthens the last.
class DurationBuilder {
  public:
    void burst(std::uint64_t us) { add(us, true); }
    void pause(std::uint64_t us) { add(us, false); }
    // The frame ends in silence: a trailing pause is dropped.
    std::vector<std::uint16_t> finish();

  private:
    void add(std::uint64_t us, bool burst);
    std::vector<std::uint64_t> d_;
};

// Each reader of a format.
RawSignalsParse parseLircConf(std::string_view text);
RawSignalsParse parsePronto(std::string_view text);
// True when the first signal line of `text` looks like Pronto hex ("0000 006D ...").
bool looksLikePronto(std::string_view text);

}  // namespace tessik::signal_text
