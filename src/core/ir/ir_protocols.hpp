#pragma once
// Infrared protocols rendered to timings: what a remote sends for a protocol's address and
// command, as durations in microseconds (burst first, then pause, alternating), one frame. IR
// code files often keep only these fields ("parsed" signals); rendering them lets the tool
// decode them exactly as a capture of the remote itself.
//
// Each protocol's frame uses its standard timings and its field layout as the ".ir" file format
// stores it: address and command are little-endian numbers of up to 32 bits.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessik {

// How the bits of a frame are carried: in the pause after equal bursts (pulse distance) or in
// the burst before equal pauses (pulse width).
struct FrameTiming {
    std::uint16_t leaderBurst;
    std::uint16_t leaderPause;
    std::uint16_t zeroBurst;
    std::uint16_t zeroPause;
    std::uint16_t oneBurst;
    std::uint16_t onePause;
    std::uint16_t stopBurst;  // 0: none; the last bit's pause ends the frame
};

inline constexpr FrameTiming kNecTiming{9000, 4500, 560, 560, 560, 1690, 560};
inline constexpr FrameTiming kSamsungTiming{4500, 4500, 560, 560, 560, 1690, 560};
inline constexpr FrameTiming kSircTiming{2400, 600, 600, 600, 1200, 600, 0};
inline constexpr FrameTiming kAehaTiming{3400, 1700, 425, 425, 425, 1275, 425};

// The durations of one frame: the leader, a burst and a pause per bit, the stop burst. Without
// a stop burst the last pause is left off (the frame ends in silence).
std::vector<std::uint16_t> renderFrame(const FrameTiming& timing, const std::vector<bool>& bits);

// `count` bits of `value`, least significant first, appended to `bits`.
void appendBitsLsbFirst(std::vector<bool>& bits, std::uint64_t value, int count);
void appendBitsMsbFirst(std::vector<bool>& bits, std::uint64_t value, int count);

// One frame of a ".ir" file's parsed signal.
struct RenderedSignal {
    std::vector<std::uint16_t> durations;  // empty when `unlearnable` says why
    std::string unlearnable;
};

// Nothing for a protocol name the tool does not know. The bi-phase protocols (RC5, RC5X,
// RC6) are known but unlearnable: the receiver decodes only pulse-distance and pulse-width codes.
std::optional<RenderedSignal> renderParsedSignal(std::string_view protocol, std::uint32_t address,
                                                 std::uint32_t command);

// The reason given for every Manchester-coded signal, whichever file it came from.
inline constexpr std::string_view kBiphaseReason =
    "a Manchester (bi-phase) code, which this receiver cannot learn";

}  // namespace tessik
