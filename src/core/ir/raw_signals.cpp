#include "core/ir/raw_signals.hpp"

#include <algorithm>
#include <optional>

#include "core/text/format.hpp"

namespace tessik {
namespace {

constexpr std::uint32_t kLongestPeriod = 0xFFFF;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

// Splits `text` into lines; `line` receives the next one (without its terminator).
bool nextLine(std::string_view& text, std::string_view& line) {
    if (text.empty()) return false;
    const std::size_t nl = text.find('\n');
    line = text.substr(0, nl);
    text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    return true;
}

std::string lineError(std::size_t lineNo, std::string_view what) {
    return "line " + std::to_string(lineNo) + ": " + std::string(what);
}

// Appends the durations of `s` to `out`; false with the offending token in `bad` when one is
// not a decimal number.
bool appendDurations(std::string_view s, std::vector<std::uint16_t>& out, std::string& bad) {
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && isSpace(s[i]))
            ++i;
        const std::size_t start = i;
        std::uint32_t value = 0;
        for (; i < s.size() && !isSpace(s[i]); ++i) {
            if (s[i] < '0' || s[i] > '9') {
                while (i < s.size() && !isSpace(s[i]))
                    ++i;
                bad = std::string(s.substr(start, std::min<std::size_t>(i - start, 40)));
                return false;
            }
            value = std::min(value * 10 + static_cast<std::uint32_t>(s[i] - '0'), kLongestPeriod);
        }
        if (i > start) out.push_back(static_cast<std::uint16_t>(value));
    }
    return true;
}

RawSignalsParse parseDurations(std::string_view text) {
    RawSignalsParse result;
    RawSignal current;
    std::string_view line;
    std::size_t lineNo = 0;
    while (nextLine(text, line)) {
        ++lineNo;
        if (trim(line).empty()) {
            if (!current.durations.empty()) result.signals.push_back(std::move(current));
            current = RawSignal{};
            continue;
        }
        std::string bad;
        if (!appendDurations(line, current.durations, bad)) {
            result.error = lineError(
                lineNo, "not a duration in microseconds: \"" + escapeControlBytes(bad) + "\"");
            return result;
        }
    }
    if (!current.durations.empty()) result.signals.push_back(std::move(current));
    result.ok = true;
    return result;
}

// One block of the ".ir" format while it is being read.
struct IrBlock {
    std::size_t line = 0;
    std::string name;
    std::string type;
    std::optional<std::vector<std::uint16_t>> data;
};

// Ends a block: a raw signal joins the result, anything else is counted as skipped.
bool finishBlock(IrBlock& block, RawSignalsParse& result) {
    if (block.line == 0) return true;
    if (block.type == "raw" && block.data) {
        result.signals.push_back({std::move(block.name), std::move(*block.data)});
    } else if (block.type == "raw") {
        result.error = lineError(
            block.line, "raw signal \"" + escapeControlBytes(block.name) + "\" has no data");
        return false;
    } else {
        ++result.skipped;
    }
    block = IrBlock{};
    return true;
}

RawSignalsParse parseIrFile(std::string_view text) {
    RawSignalsParse result;
    IrBlock block;
    std::string_view line;
    std::size_t lineNo = 0;
    while (nextLine(text, line)) {
        ++lineNo;
        line = trim(line);
        if (line.empty() || line.front() == '#') continue;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            result.error = lineError(lineNo, "expected \"key: value\"");
            return result;
        }
        const std::string_view key = trim(line.substr(0, colon));
        const std::string_view value = trim(line.substr(colon + 1));
        if (key == "name") {
            if (!finishBlock(block, result)) return result;
            block.line = lineNo;
            block.name = std::string(value);
        } else if (block.line == 0) {
            continue;  // file header: Filetype, Version
        } else if (key == "type") {
            block.type = std::string(value);
        } else if (key == "data") {
            std::vector<std::uint16_t> durations;
            std::string bad;
            if (!appendDurations(value, durations, bad)) {
                result.error = lineError(
                    lineNo, "not a duration in microseconds: \"" + escapeControlBytes(bad) + "\"");
                return result;
            }
            block.data = std::move(durations);
        }
    }
    if (!finishBlock(block, result)) return result;
    result.ok = true;
    return result;
}

}  // namespace

RawSignalsParse parseRawSignals(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const std::string_view start = trim(text);
    if (start.substr(0, 9) == "Filetype:") return parseIrFile(text);
    return parseDurations(text);
}

CaptureEntries entriesFromDurations(std::span<const std::uint16_t> durations) {
    CaptureEntries e;
    const std::size_t entries = (durations.size() + 1) / 2;
    e.low.reserve(entries);
    e.high.reserve(entries);
    for (std::size_t i = 0; i < entries; ++i) {
        e.low.push_back(durations[2 * i]);
        e.high.push_back(2 * i + 1 < durations.size() ? durations[2 * i + 1]
                                                      : static_cast<std::uint16_t>(kLongestPeriod));
    }
    return e;
}

}  // namespace tessik
