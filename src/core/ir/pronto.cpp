// Pronto hex: the learned-code form "0000 FFFF NNNN RRRR" followed by burst/pause pairs, all
// four-digit hexadecimal words. FFFF sets the carrier: one unit of the pairs lasts FFFF x
// 0.241246 µs (the Pronto's clock). NNNN pairs are sent once, then RRRR pairs repeat while the
// button is held; a signal is its once part, or its first repeat when it has none. One code per
// line, optionally "NAME: " before its words.

#include <cmath>
#include <string>

#include "core/ir/signal_text.hpp"
#include "core/text/format.hpp"

namespace tessik::signal_text {
namespace {

constexpr double kProntoClockUs = 0.241246;

bool isHexWord(std::string_view w) {
    return w.size() == 4 && number("0x" + std::string(w), 0xFFFF).has_value();
}

// The words of a line after an optional "NAME:" prefix.
std::string_view codePart(std::string_view line, std::string& name) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return line;
    name = std::string(trim(line.substr(0, colon)));
    return line.substr(colon + 1);
}

}  // namespace

bool looksLikePronto(std::string_view text) {
    std::string_view line;
    while (nextLine(text, line)) {
        std::string name;
        const std::vector<std::string_view> w = words(codePart(line, name));
        if (w.empty()) continue;
        return w.size() >= 4 && w[0] == "0000" && isHexWord(w[1]);
    }
    return false;
}

RawSignalsParse parsePronto(std::string_view text) {
    RawSignalsParse result;
    std::string_view line;
    std::size_t lineNo = 0;
    while (nextLine(text, line)) {
        ++lineNo;
        std::string name;
        const std::vector<std::string_view> w = words(codePart(line, name));
        if (w.empty()) continue;
        std::vector<std::uint16_t> v;
        for (const std::string_view word : w) {
            if (!isHexWord(word)) {
                result.error = lineError(lineNo, quoted(word) + " is not a four-digit hex word");
                return result;
            }
            v.push_back(static_cast<std::uint16_t>(*number("0x" + std::string(word))));
        }
        if (v.size() < 4 || v[0] != 0 || v[1] == 0) {
            result.error = lineError(lineNo, "not a learned Pronto code (0000 with a frequency)");
            return result;
        }
        const std::size_t once = v[2];
        const std::size_t repeat = v[3];
        if (v.size() != 4 + 2 * (once + repeat) || once + repeat == 0) {
            result.error = lineError(
                lineNo, formatText("the code announces %d pairs but holds %d words after its "
                                   "four",
                                   {once + repeat, v.size() - 4}));
            return result;
        }
        const double unit = v[1] * kProntoClockUs;
        // The once part follows the four header words; without one, the repeat part does.
        const std::size_t first = 4;
        const std::size_t pairs = once > 0 ? once : repeat;
        DurationBuilder d;
        for (std::size_t i = 0; i < pairs; ++i) {
            d.burst(static_cast<std::uint64_t>(std::lround(v[first + 2 * i] * unit)));
            d.pause(static_cast<std::uint64_t>(std::lround(v[first + 2 * i + 1] * unit)));
        }
        RawSignal signal;
        signal.name = name;
        signal.protocol = "Pronto";
        signal.durations = d.finish();
        if (!keepSignal(result, std::move(signal), lineNo)) return result;
    }
    result.ok = true;
    return result;
}

}  // namespace tessik::signal_text
