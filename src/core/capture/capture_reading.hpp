#pragma once
// What a fetched capture holds: the receiver's capture memory cut into presses.
//
// The receiver records periods, not presses: everything that reaches its eye after capture
// mode was entered is stored one entry after the other until the tool drops it. A press ends
// in a pause the receiver's 16-bit microsecond counter cannot measure, stored as 0xFFFF; two
// presses made before the tool has read the first stand one behind the other, and a press
// that was still arriving when the tool fetched ends without that pause. A press may carry
// more than its frame: the repeat codes of a button held down, the second and third frames a
// remote sends of every press, all shorter pauses apart.
//
// The capture is read press by press, each as the receiver recorded it on its own, so that a
// code is only ever decoded from one whole press: never from the end of one and the start of
// the next, and never from a frame that had not finished arriving.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tessik {

// A pause as long as the receiver's counter can measure: the press before it has ended.
inline constexpr std::uint16_t kSilence = 0xFFFF;
// A count of this many entries or fewer is not a remote's frame (noise, a held button's repeat
// code, a press still arriving).
inline constexpr std::uint16_t kMinCaptureEntries = 10;

struct CapturePiece {
    enum class Kind {
        Press,       // a whole press: to be decoded
        Repeat,      // a held button's repeat code or a flash of noise: not a press
        Unfinished,  // a press still arriving: read it again once it has come
        CutShort,    // a press whose frame never ended: it cannot be read
    };
    Kind kind = Kind::Press;
    std::size_t begin = 0;  // entries [begin, end) of the capture
    std::size_t end = 0;
    bool operator==(const CapturePiece&) const = default;
};

// Cuts the entries from `from` on into pieces, in order. `settled`: nothing more will arrive
// behind the last entry (the count stood still before the fetch and did not grow during it,
// or the capture fills a whole reply); a last press without its closing pause is then read as
// it is when its frame ended, and refused as cut short when it did not. The capture ends at
// the first entry without a burst (a device that announces more than it recorded).
std::vector<CapturePiece> splitCapture(std::span<const std::uint16_t> low,
                                       std::span<const std::uint16_t> high, std::size_t from,
                                       bool settled);

// The periods of `piece` in one fetched half (the high half may hold fewer).
std::span<const std::uint16_t> periodsOf(const std::vector<std::uint16_t>& half,
                                         const CapturePiece& piece);

// True when the frame that begins `low`/`high` ends within them: a pause longer than its
// leader's burst follows its data (the decoders' end of data), the last entry's included.
bool frameEnded(std::span<const std::uint16_t> low, std::span<const std::uint16_t> high);

}  // namespace tessik
