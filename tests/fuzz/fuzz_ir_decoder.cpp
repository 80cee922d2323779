// Any timings reach the decoders without a read outside the arrays, whatever pairCount claims,
// and every record comes out in one of the shapes the rest of the tool relies on. The same
// bytes, taken as text, go through the raw-signal reader and the capture's analysis.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>
#include <vector>

#include "core/ir/decoders.hpp"
#include "core/ir/raw_signals.hpp"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

void checkRecord(const tessik::CodeRecord& r, bool result, std::uint8_t format, std::size_t pairs) {
    check(r.pairCount <= pairs);
    check(r.keys == tessik::KeyCodeList{} && r.reserved1 == 0 && r.reserved54 == 0);
    if (result) {
        check(r.format == format);
        if (format == 1) check(r.bitCount <= tessik::kMaxDecodedBits);
        check(r.bitCount < std::max<std::size_t>(r.pairCount, 1));
    } else {
        check(r.codeValue == tessik::kCodeTooLong && r.format == 0 && r.bitCount == 0);
    }
}

// Bytes 0..1: the claimed pairCount; byte 2: how many of the following 16-bit words are low
// periods; the rest are high periods. Arrays are copied to their exact size so that the
// sanitizer sees any read past them.
void fuzzDecoders(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return;
    const auto claimed = static_cast<std::uint16_t>(data[0] | (data[1] << 8));
    std::vector<std::uint16_t> words;
    for (std::size_t i = 3; i + 1 < size; i += 2) {
        words.push_back(static_cast<std::uint16_t>(data[i] | (data[i + 1] << 8)));
    }
    const std::size_t split = std::min<std::size_t>(data[2], words.size());
    const std::vector<std::uint16_t> low(words.begin(), words.begin() + split);
    const std::vector<std::uint16_t> high(words.begin() + split, words.end());
    const std::size_t pairs = std::min(low.size(), high.size());

    tessik::CodeRecord r1;
    r1.pairCount = claimed;
    checkRecord(r1, tessik::DecodePulseDistance(low, high, r1), 1, pairs);
    tessik::CodeRecord r2;
    r2.pairCount = claimed;
    checkRecord(r2, tessik::DecodePulseWidth(low, high, r2), 2, pairs);

    const tessik::CodeRecord c = tessik::decodeCapture(low, high);
    check(c.pairCount == (low.empty() ? 0 : std::min<std::size_t>(low.size() - 1, 0xFFFF)));
    // Type 1 stands only when it decoded something; an overflow is never retried as type 2.
    check(c.format != 1 || c.codeValue != 0);
    check(c.format != 0 || c.codeValue == tessik::kCodeTooLong || low.empty());
}

void fuzzText(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const tessik::RawSignalsParse parsed = tessik::parseRawSignals(text);
    if (!parsed.ok) return;
    for (const tessik::RawSignal& s : parsed.signals) {
        const tessik::CaptureEntries e = tessik::entriesFromDurations(s.durations);
        check(e.low.size() == e.high.size() && e.low.size() == (s.durations.size() + 1) / 2);
        const tessik::CodeRecord r = tessik::decodeCapture(e.low, e.high);
        check(r.format <= 2);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzDecoders(data, size);
    fuzzText(data, size);
    return 0;
}
