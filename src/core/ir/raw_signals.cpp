#include "core/ir/raw_signals.hpp"

#include <algorithm>
#include <optional>

#include "core/ir/ir_protocols.hpp"
#include "core/ir/signal_text.hpp"
#include "core/text/format.hpp"

namespace tessik {
namespace {
constexpr std::uint32_t kLongestPeriod = 0xFFFF;
constexpr std::size_t kMaxCaptureEntries = 0x10000;  // 65535 pairs and the closing entry
}  // namespace

namespace signal_text {

std::string_view trim(std::string_view s) {
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

bool nextLine(std::string_view& text, std::string_view& line) {
    if (text.empty()) return false;
    // LF, CR LF, or a lone CR as old Mac editors end lines.
    const std::size_t end = text.find_first_of("\r\n");
    line = text.substr(0, end);
    if (end == std::string_view::npos) {
        text = {};
    } else {
        const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crlf ? 2 : 1));
    }
    return true;
}

std::string clippedName(std::string_view name) {
    if (name.size() <= kMaxSignalNameBytes) return std::string(name);
    std::size_t cut = kMaxSignalNameBytes;
    // Not inside a UTF-8 sequence: back to the start of the character cut through.
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    return std::string(name.substr(0, cut));
}

bool keepSignal(RawSignalsParse& result, RawSignal signal, std::size_t lineNo) {
    if (result.found.size() >= kMaxSignals) {
        result.error = lineError(lineNo, formatText("more than %d signals; no IR code file of "
                                                    "a remote control holds that many",
                                                    {kMaxSignals}));
        return false;
    }
    signal.name = clippedName(signal.name);
    result.found.push_back(std::move(signal));
    return true;
}

std::string lineError(std::size_t lineNo, std::string_view what) {
    return "line " + std::to_string(lineNo) + ": " + std::string(what);
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    out += escapeControlBytes(text);
    out += '"';
    return out;
}

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isSpace(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !isSpace(line[i]))
            ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

std::optional<std::uint64_t> number(std::string_view word, std::uint64_t max) {
    unsigned base = 10;
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        base = 16;
        word.remove_prefix(2);
    }
    if (word.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : word) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        if (value > (max - digit) / base) return std::nullopt;
        value = value * base + digit;
    }
    return value;
}

std::uint16_t period(std::uint64_t us) {
    return static_cast<std::uint16_t>(std::min<std::uint64_t>(us, kLongestPeriod));
}

void DurationBuilder::add(std::uint64_t us, bool burst) {
    if (us == 0) return;
    const bool lastIsBurst = d_.size() % 2 == 1;
    if (d_.empty() && !burst) return;  // a recording starts with a burst
    if (!d_.empty() && lastIsBurst == burst) {
        d_.back() = std::min<std::uint64_t>(d_.back() + us, kLongestPeriod);
        return;
    }
    d_.push_back(us);
}

std::vector<std::uint16_t> DurationBuilder::finish() {
    if (d_.size() % 2 == 0 && !d_.empty()) d_.pop_back();
    std::vector<std::uint16_t> out;
    out.reserve(d_.size());
    for (const std::uint64_t us : d_)
        out.push_back(period(us));
    d_.clear();
    return out;
}

}  // namespace signal_text

namespace {

using namespace signal_text;

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
            if (!current.durations.empty() && !keepSignal(result, std::move(current), lineNo)) {
                return result;
            }
            current = RawSignal{};
            continue;
        }
        std::string bad;
        if (!appendDurations(line, current.durations, bad)) {
            result.error = lineError(lineNo, "not a duration in microseconds: " + quoted(bad));
            return result;
        }
    }
    if (!current.durations.empty() && !keepSignal(result, std::move(current), lineNo)) {
        return result;
    }
    result.ok = true;
    return result;
}

// One block of the ".ir" format while it is being read.
struct IrBlock {
    std::size_t line = 0;
    std::string name;
    std::string type;
    std::optional<std::vector<std::uint16_t>> data;
    std::string protocol;
    std::optional<std::uint32_t> address;
    std::optional<std::uint32_t> command;
};

// "04 00 00 00": bytes in hexadecimal, least significant first.
std::optional<std::uint32_t> fieldBytes(std::string_view value) {
    const std::vector<std::string_view> bytes = words(value);
    if (bytes.empty() || bytes.size() > 4) return std::nullopt;
    std::uint32_t out = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i].size() > 2) return std::nullopt;
        const auto b = number("0x" + std::string(bytes[i]), 0xFF);
        if (!b) return std::nullopt;
        out |= static_cast<std::uint32_t>(*b) << (8 * i);
    }
    return out;
}

// A block's signal under its name, or under the button's name within its collection's remote.
RawSignal namedSignal(const std::string& name) {
    RawSignal s;
    if (const auto c = splitCollectionName(name)) {
        s.remote = std::string(c->remote);
        s.name = std::string(c->button);
    } else {
        s.name = name;
    }
    return s;
}

// Ends a block: a raw signal joins the result, anything else is counted as skipped.
bool finishBlock(IrBlock& block, RawSignalsParse& result) {
    if (block.line == 0) return true;
    const std::string shownName = quoted(block.name);
    if (block.type == "raw" && block.data) {
        RawSignal signal = namedSignal(block.name);
        signal.durations = std::move(*block.data);
        if (!keepSignal(result, std::move(signal), block.line)) return false;
    } else if (block.type == "raw") {
        result.error = lineError(block.line, "raw signal " + shownName + " has no data");
        return false;
    } else if (block.type == "parsed") {
        if (block.protocol.empty() || !block.address || !block.command) {
            result.error = lineError(block.line, "parsed signal " + shownName +
                                                     " needs a protocol, an address and a command");
            return false;
        }
        RawSignal signal = namedSignal(block.name);
        signal.protocol = block.protocol;
        if (auto rendered = renderParsedSignal(block.protocol, *block.address, *block.command)) {
            signal.durations = std::move(rendered->durations);
            signal.unlearnable = std::move(rendered->unlearnable);
        } else {
            signal.unlearnable =
                "the protocol " + quoted(block.protocol) + " is not known to this tool";
        }
        if (!keepSignal(result, std::move(signal), block.line)) return false;
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
        } else if (key == "protocol") {
            block.protocol = std::string(value);
        } else if (key == "address" || key == "command") {
            const auto bytes = fieldBytes(value);
            if (!bytes) {
                result.error =
                    lineError(lineNo, std::string(key) + ": expected up to four hex bytes");
                return result;
            }
            (key == "address" ? block.address : block.command) = bytes;
        } else if (key == "data") {
            std::vector<std::uint16_t> durations;
            std::string bad;
            if (!appendDurations(value, durations, bad)) {
                result.error = lineError(lineNo, "not a duration in microseconds: " + quoted(bad));
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

std::optional<CollectionName> splitCollectionName(std::string_view name) {
    constexpr std::string_view kSeparator = " / ";
    constexpr std::string_view kSuffix = ".ir";
    const std::size_t at = name.find(kSeparator);
    if (at == std::string_view::npos) return std::nullopt;
    // Only a file stands before the separator: a button called "Vol / Up" is one button.
    const std::string_view source = name.substr(0, at);
    const std::string_view button = trim(name.substr(at + kSeparator.size()));
    if (source.size() <= kSuffix.size() || button.empty()) return std::nullopt;
    const std::string_view end = source.substr(source.size() - kSuffix.size());
    const bool suffixed = std::equal(end.begin(), end.end(), kSuffix.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b;
    });
    if (!suffixed) return std::nullopt;
    return CollectionName{source, button};
}

RawSignalsParse parseRawSignals(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const std::string_view start = trim(text);
    if (start.substr(0, 9) == "Filetype:") return parseIrFile(text);
    if (text.find("begin remote") != std::string_view::npos) return parseLircConf(text);
    if (looksLikePronto(text)) return parsePronto(text);
    return parseDurations(text);
}

CaptureEntries entriesFromDurations(std::span<const std::uint16_t> durations) {
    CaptureEntries e;
    const std::size_t entries = std::min((durations.size() + 1) / 2, kMaxCaptureEntries);
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
