#pragma once
// Turning a captured infrared signal into a CodeRecord.
//
// The receiver records what its IR demodulator outputs as two arrays of 16-bit periods: the
// low periods (IR bursts) and the high periods (pauses between them). Entry i is the low period
// low[i] followed by the high period high[i]. The last entry of a capture always ends in the
// silence that stopped the recording, so it is never analysed: a capture of N entries is
// decoded as N - 1 pairs.
//
// Two decoders exist because remote controls put their bits in two places: pulse-distance
// codes (type 1) vary the pause after equal bursts, pulse-width codes (type 2) vary the burst
// before equal pauses. Both find the leader ("Reader"), find where the data ends, split the data
// periods into the "one" group and the rest at 1.5 x the shortest period of the other kind,
// pack the bits and derive the 64-bit codeValue that captures are compared by. The device is
// programmed from these records, so every field is computed exactly as the tool always has.

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/model/records.hpp"

namespace tessik {

// Low periods above this (in the receiver's time unit, microseconds) can only be a leader.
inline constexpr std::uint16_t kLeaderThreshold = 6000;
// A 160th data bit would need a 21st code byte: the code is too long for the record.
inline constexpr std::size_t kMaxDecodedBits = kCodeBytesCount * 8 - 1;

// Where the parts of a capture lie, as both decoders find them: the leader at entry `leader`,
// then the data pairs [begin, end), which may be empty. Only the first `pairs` entries (and no
// more than both arrays hold) are looked at.
struct DataRange {
    std::size_t leader = 0;
    std::size_t begin = 1;
    std::size_t end = 0;
};

DataRange locateData(std::span<const std::uint16_t> low, std::span<const std::uint16_t> high,
                     std::size_t pairs);

// Bit `i` of a decoded code in the order received (0 beyond its bits). Full code bytes hold
// eight bits, first bit highest; a last partial byte holds its bits in its low end.
unsigned codeBit(const CodeRecord& record, std::size_t i);
// `count` (at most 32) bits from bit `first`, least significant first, as the common protocols
// send their fields.
std::uint32_t codeField(const CodeRecord& record, std::size_t first, std::size_t count);

// Type 1, pulse distance: the bit is in the high period. `record` comes in with pairCount set
// and goes out fully rewritten (format 1, timing groups, codeBytes, bitCount, codeValue).
// Returns false when the data has 160 bits or more; then codeValue is kCodeTooLong and format
// and bitCount are 0. Callers branch on codeValue, not on the result.
//
// Only the pairs both arrays hold are analysed: a pairCount larger than the arrays is lowered
// to what is present (and written back so), never read past.
bool DecodePulseDistance(std::span<const std::uint16_t> low, std::span<const std::uint16_t> high,
                         CodeRecord& record);

// Type 2, pulse width: the bit is in the low period. Same contract as DecodePulseDistance,
// with format 2.
bool DecodePulseWidth(std::span<const std::uint16_t> low, std::span<const std::uint16_t> high,
                      CodeRecord& record);

// The analysis a capture gets: the N entries of `low` (the count the receiver reported) are
// decoded as N - 1 pairs (0 when nothing arrived; at most 65535, the field's range), first as
// type 1 and, when that gives codeValue 0, as type 2 on the same record. High periods missing
// from `high` count as 0; extra ones are ignored. A type 1 overflow (kCodeTooLong) is not 0, so
// type 2 is then not tried. codeValue 0 in the result means nothing could be decoded.
CodeRecord decodeCapture(std::span<const std::uint16_t> low, std::span<const std::uint16_t> high);

}  // namespace tessik
