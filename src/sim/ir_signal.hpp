#pragma once
// Infrared signals as the receiver records them, for the simulated receiver and the tests.
//
// The receiver's IR demodulator output is low during a burst of modulated light and high in the
// pauses between bursts. A recording is a list of entries, each a low period (the burst) followed
// by a high period (the pause after it), in microseconds, 16-bit. A frame ends in a silence
// longer than the counter can measure, so its last entry's pause is 65535.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tessik::sim {

struct IrSignal {
    std::vector<std::uint16_t> low;   // bursts
    std::vector<std::uint16_t> high;  // the pause after each burst
    std::size_t entries() const { return low.size(); }
    bool operator==(const IrSignal&) const = default;
};

// The pause after the last burst of a frame.
inline constexpr std::uint16_t kEndPause = 0xFFFF;

// NEC: 9000/4500 leader, 32 bits of 560 burst and 560 (0) or 1690 (1) pause, each byte least
// significant bit first: address, ~address, command, ~command; then a 560 stop burst.
IrSignal necSignal(std::uint8_t address, std::uint8_t command);
// The extended form: a 16-bit address (low byte first) instead of address and ~address.
IrSignal necExtendedSignal(std::uint16_t address, std::uint8_t command);
// What a NEC remote sends while a button is held after its first frame: a 9000/2250 leader and
// a stop burst, no data.
IrSignal necRepeatSignal();

// SIRC: 2400/600 leader, then the bits least significant first as a 1200 (1) or 600 (0) burst,
// each followed by a 600 pause: 7 command bits, then 5, 8 or 13 address bits (12-, 15- and
// 20-bit frames; the 20-bit frame's address is 5 device bits and 8 extension bits). There is no
// stop burst: the last bit's pause is the end of the frame.
enum class SircBits { Twelve = 12, Fifteen = 15, Twenty = 20 };
IrSignal sircSignal(SircBits bits, std::uint8_t command, std::uint16_t address);

// The Japanese household format (AEHA): 3400/1700 leader, bits as a 425 burst and a 425 (0) or
// 1275 (1) pause, each byte least significant bit first, then a 425 stop burst. Household
// remotes send 6 bytes (48 bits): a 16-bit customer code, a parity/system byte and three data
// bytes.
IrSignal aehaSignal(std::span<const std::uint8_t> bytes);

// Every period stretched or shrunk by up to +-percent, the same for the same seed. The end pause
// stays as it is (it is not a measurement); periods stay within 1..65534.
IrSignal withTimingNoise(const IrSignal& signal, double percent, std::uint32_t seed);

}  // namespace tessik::sim
