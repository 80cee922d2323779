#pragma once
// Which infrared protocol a decoded code speaks, where its timings and bit layout name one.
//
// The decoders keep only what the receiver needs: the timing groups and the bits in the order
// they arrived (first bit highest in each code byte). The common protocols send every field
// least significant bit first, so a field is read back from the code bytes bit by bit. A
// protocol is named only when the leader, the bit timings (each within a quarter of its
// nominal length) and the protocol's own checks (an inverted byte, a parity nibble) all agree;
// anything else is called by its coding and length.

#include <cstdint>
#include <optional>

#include "core/model/records.hpp"

namespace tessik {

enum class ProtocolKind {
    Undecoded,      // format 0: nothing was decoded
    PulseDistance,  // a pulse-distance code no known protocol matches
    PulseWidth,     // a pulse-width code no known protocol matches
    Nec,            // 8-bit address, its inverse, command, its inverse
    NecExtended,    // 16-bit address, command, its inverse
    Samsung,        // 8-bit address twice, command, its inverse
    Sirc12,         // 7-bit command, 5-bit address
    Sirc15,         // 7-bit command, 8-bit address
    Sirc20,         // 7-bit command, 13-bit address (5 device bits, 8 extension bits)
    Aeha,           // 16-bit vendor (customer) code, parity nibble, data
};

struct ProtocolName {
    ProtocolKind kind = ProtocolKind::Undecoded;
    std::uint16_t bits = 0;     // the code's bit count
    std::uint32_t address = 0;  // NEC, Samsung, SIRC: the address; AEHA: the vendor code
    std::uint8_t command = 0;   // NEC, Samsung, SIRC
    // SIRC: the receiver never sees the frame's last bit (the top address bit; it ends the
    // recording), so the address is one of two: `address` or this.
    std::optional<std::uint32_t> otherAddress;
    bool operator==(const ProtocolName&) const = default;
};

ProtocolName identifyProtocol(const CodeRecord& record);

}  // namespace tessik
