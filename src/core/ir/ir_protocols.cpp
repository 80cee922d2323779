#include "core/ir/ir_protocols.hpp"

#include <array>

namespace tessik {
namespace {

constexpr FrameTiming kKaseikyoTiming{3456, 1728, 432, 432, 432, 1296, 432};
constexpr FrameTiming kRcaTiming{4000, 4000, 500, 1000, 500, 2000, 500};
constexpr FrameTiming kPioneerTiming{8500, 4250, 500, 500, 500, 1500, 500};

std::uint8_t byteOf(std::uint32_t value, int index) {
    return static_cast<std::uint8_t>(value >> (8 * index));
}

std::uint8_t inverted(std::uint8_t b) {
    return static_cast<std::uint8_t>(~b);
}

std::vector<bool> bytesLsbFirst(std::initializer_list<std::uint8_t> bytes) {
    std::vector<bool> bits;
    for (const std::uint8_t b : bytes)
        appendBitsLsbFirst(bits, b, 8);
    return bits;
}

// The 48-bit household frame with a vendor code: vendor (16 bits), its parity nibble under
// genre 1, genre 2 under the command's low nibble, the command's high six bits under a two-bit
// id, and the XOR of the three bytes before as a check byte. The file keeps genre 2 and genre 1
// in the address's low byte (bits 0-3, 4-7), the vendor above them (bits 8-23) and the id in
// bits 24-25, and ten command bits.
std::vector<bool> kaseikyoBits(std::uint32_t address, std::uint32_t command) {
    const std::uint16_t vendor = static_cast<std::uint16_t>((address >> 8) & 0xFFFF);
    const unsigned genre1 = (address >> 4) & 0xF;
    const unsigned genre2 = address & 0xF;
    const unsigned id = (address >> 24) & 0x3;
    const unsigned cmd = command & 0x3FF;
    std::array<std::uint8_t, 6> d{};
    d[0] = static_cast<std::uint8_t>(vendor & 0xFF);
    d[1] = static_cast<std::uint8_t>(vendor >> 8);
    const unsigned parity = (d[0] ^ d[1]) ^ ((d[0] ^ d[1]) >> 4);
    d[2] = static_cast<std::uint8_t>((parity & 0xF) | (genre1 << 4));
    d[3] = static_cast<std::uint8_t>(genre2 | ((cmd & 0xF) << 4));
    d[4] = static_cast<std::uint8_t>((id << 6) | (cmd >> 4));
    d[5] = static_cast<std::uint8_t>(d[2] ^ d[3] ^ d[4]);
    return bytesLsbFirst({d[0], d[1], d[2], d[3], d[4], d[5]});
}

}  // namespace

void appendBitsLsbFirst(std::vector<bool>& bits, std::uint64_t value, int count) {
    for (int i = 0; i < count; ++i)
        bits.push_back(((value >> i) & 1) != 0);
}

void appendBitsMsbFirst(std::vector<bool>& bits, std::uint64_t value, int count) {
    for (int i = count - 1; i >= 0; --i)
        bits.push_back(((value >> i) & 1) != 0);
}

std::vector<std::uint16_t> renderFrame(const FrameTiming& t, const std::vector<bool>& bits) {
    std::vector<std::uint16_t> d{t.leaderBurst, t.leaderPause};
    d.reserve(2 * bits.size() + 3);
    for (const bool one : bits) {
        d.push_back(one ? t.oneBurst : t.zeroBurst);
        d.push_back(one ? t.onePause : t.zeroPause);
    }
    if (t.stopBurst != 0) {
        d.push_back(t.stopBurst);
    } else if (!bits.empty()) {
        d.pop_back();
    }
    return d;
}

std::optional<RenderedSignal> renderParsedSignal(std::string_view protocol, std::uint32_t address,
                                                 std::uint32_t command) {
    const std::uint8_t a0 = byteOf(address, 0);
    const std::uint8_t c0 = byteOf(command, 0);
    auto frame = [](const FrameTiming& t, const std::vector<bool>& bits) {
        return RenderedSignal{renderFrame(t, bits), {}};
    };
    if (protocol == "NEC")
        return frame(kNecTiming, bytesLsbFirst({a0, inverted(a0), c0, inverted(c0)}));
    if (protocol == "NECext") {
        return frame(kNecTiming, bytesLsbFirst({a0, byteOf(address, 1), c0, byteOf(command, 1)}));
    }
    if (protocol == "NEC42") {
        // 13 address bits and 8 command bits, each followed by its complement.
        std::vector<bool> bits;
        appendBitsLsbFirst(bits, address & 0x1FFF, 13);
        appendBitsLsbFirst(bits, ~address & 0x1FFF, 13);
        appendBitsLsbFirst(bits, c0, 8);
        appendBitsLsbFirst(bits, inverted(c0), 8);
        return frame(kNecTiming, bits);
    }
    if (protocol == "Samsung32") {
        return frame(kSamsungTiming, bytesLsbFirst({a0, a0, c0, inverted(c0)}));
    }
    if (protocol == "SIRC" || protocol == "SIRC15" || protocol == "SIRC20") {
        // Seven command bits, then 5, 8 or 13 address bits.
        const int addressBits = protocol == "SIRC" ? 5 : protocol == "SIRC15" ? 8 : 13;
        std::vector<bool> bits;
        appendBitsLsbFirst(bits, command & 0x7F, 7);
        appendBitsLsbFirst(bits, address, addressBits);
        return frame(kSircTiming, bits);
    }
    if (protocol == "Kaseikyo") return frame(kKaseikyoTiming, kaseikyoBits(address, command));
    if (protocol == "RCA") {
        // Four address and eight command bits, then both inverted, most significant first.
        std::vector<bool> bits;
        appendBitsMsbFirst(bits, address & 0xF, 4);
        appendBitsMsbFirst(bits, c0, 8);
        appendBitsMsbFirst(bits, ~address & 0xF, 4);
        appendBitsMsbFirst(bits, inverted(c0), 8);
        return frame(kRcaTiming, bits);
    }
    if (protocol == "Pioneer") {
        return frame(kPioneerTiming, bytesLsbFirst({a0, inverted(a0), c0, inverted(c0)}));
    }
    if (protocol == "RC5" || protocol == "RC5X" || protocol == "RC6") {
        return RenderedSignal{{}, std::string(kBiphaseReason)};
    }
    return std::nullopt;
}

}  // namespace tessik
