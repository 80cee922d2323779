// Any timings reach the decoders without a read outside the arrays, whatever pairCount claims,
// and every record comes out in one of the shapes the rest of the tool relies on. (Text goes
// through the IR code file readers in fuzz_signal_files.)

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "core/ir/decoders.hpp"

namespace {

using namespace tessik;

void check(bool ok) {
    if (!ok) std::abort();
}

void checkRecord(const CodeRecord& r, bool result, std::uint8_t format, std::size_t pairs) {
    check(r.pairCount <= pairs);
    check(r.keys == KeyCodeList{} && r.reserved1 == 0 && r.reserved54 == 0);
    if (!result) {
        check(r.codeValue == kCodeTooLong && r.format == 0 && r.bitCount == 0);
        return;
    }
    check(r.format == format);
    check(format != 1 || r.bitCount <= kMaxDecodedBits);
    check(r.bitCount < std::max<std::size_t>(r.pairCount, 1));
}

// Bytes 0..1: the claimed pairCount; byte 2: how many of the following 16-bit words are low
// periods; the rest are high periods. Arrays are copied to their exact size so that the
// sanitizer sees any read past them.
void fuzzDecoders(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return;
    std::vector<std::uint16_t> words;
    for (std::size_t i = 3; i + 1 < size; i += 2)
        words.push_back(static_cast<std::uint16_t>(data[i] | (data[i + 1] << 8)));
    const std::size_t split = std::min<std::size_t>(data[2], words.size());
    const std::vector<std::uint16_t> low(words.begin(), words.begin() + split);
    const std::vector<std::uint16_t> high(words.begin() + split, words.end());
    const std::size_t pairs = std::min(low.size(), high.size());

    for (const std::uint8_t format : {1, 2}) {
        CodeRecord r;
        r.pairCount = static_cast<std::uint16_t>(data[0] | (data[1] << 8));
        const bool ok =
            format == 1 ? DecodePulseDistance(low, high, r) : DecodePulseWidth(low, high, r);
        checkRecord(r, ok, format, pairs);
    }
    const CodeRecord c = decodeCapture(low, high);
    check(c.pairCount == (low.empty() ? 0 : std::min<std::size_t>(low.size() - 1, 0xFFFF)));
    // Type 1 stands only when it decoded something; an overflow is never retried as type 2.
    check(c.format != 1 || c.codeValue != 0);
    check(c.format != 0 || c.codeValue == kCodeTooLong || low.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzDecoders(data, size);
    return 0;
}
