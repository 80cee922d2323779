#include "sim/remotes.hpp"

#include <array>

namespace tessik::sim {
namespace {

constexpr RemoteButton kNecTvButtons[] = {
    {"Power", 0x08}, {"Input", 0x0B}, {"1", 0x11},    {"2", 0x12},    {"3", 0x13},
    {"4", 0x14},     {"5", 0x15},     {"6", 0x16},    {"7", 0x17},    {"8", 0x18},
    {"9", 0x19},     {"0", 0x10},     {"Ch+", 0x1A},  {"Ch-", 0x1B},  {"Vol+", 0x1C},
    {"Vol-", 0x1D},  {"Mute", 0x1E},  {"Menu", 0x40}, {"Up", 0x41},   {"Down", 0x42},
    {"Left", 0x43},  {"Right", 0x44}, {"OK", 0x45},   {"Back", 0x46},
};

constexpr RemoteButton kSircTvButtons[] = {
    {"1", 0},     {"2", 1},     {"3", 2},     {"4", 3},      {"5", 4},    {"6", 5},
    {"7", 6},     {"8", 7},     {"9", 8},     {"0", 9},      {"Ch+", 16}, {"Ch-", 17},
    {"Vol+", 18}, {"Vol-", 19}, {"Mute", 20}, {"Power", 21},
};

constexpr RemoteButton kAehaAudioButtons[] = {
    {"Power", 0x3D}, {"Play", 0x0A}, {"Stop", 0x00}, {"Pause", 0x06}, {"Next", 0x4A},
    {"Prev", 0x49},  {"Vol+", 0x20}, {"Vol-", 0x21}, {"Mute", 0x32},  {"Eject", 0x01},
};

}  // namespace

std::array<std::uint8_t, 6> aehaBytes(std::uint16_t customer, std::uint8_t system,
                                      std::uint8_t device, std::uint8_t command) {
    const unsigned parity = (customer ^ (customer >> 4) ^ (customer >> 8) ^ (customer >> 12)) & 0xF;
    const auto third = static_cast<std::uint8_t>(parity | ((system & 0xF) << 4));
    return {static_cast<std::uint8_t>(customer & 0xFF),
            static_cast<std::uint8_t>(customer >> 8),
            third,
            device,
            command,
            static_cast<std::uint8_t>(third ^ device ^ command)};
}

const RemoteButton* VirtualRemote::find(std::string_view button) const {
    for (const RemoteButton& b : buttons) {
        if (b.name == button) return &b;
    }
    return nullptr;
}

std::optional<IrSignal> VirtualRemote::signal(std::string_view button) const {
    const RemoteButton* b = find(button);
    if (b == nullptr) return std::nullopt;
    return signal(*b);
}

IrSignal VirtualRemote::signal(const RemoteButton& button) const {
    switch (protocol) {
        case IrProtocol::Nec:
            return necSignal(static_cast<std::uint8_t>(address), button.command);
        case IrProtocol::Sirc12:
            return sircSignal(SircBits::Twelve, button.command, address);
        case IrProtocol::Sirc15:
            return sircSignal(SircBits::Fifteen, button.command, address);
        case IrProtocol::Sirc20:
            return sircSignal(SircBits::Twenty, button.command, address);
        case IrProtocol::Aeha:
            return aehaSignal(aehaBytes(address, system, device, button.command));
    }
    return {};
}

const VirtualRemote& necTvRemote() {
    static const VirtualRemote remote{"NEC TV", IrProtocol::Nec, 0x5E, 0, 0, kNecTvButtons};
    return remote;
}

const VirtualRemote& sircTvRemote() {
    static const VirtualRemote remote{"SIRC TV", IrProtocol::Sirc12, 1, 0, 0, kSircTvButtons};
    return remote;
}

const VirtualRemote& aehaAudioRemote() {
    static const VirtualRemote remote{"AEHA audio", IrProtocol::Aeha, 0x1A5C, 0x3,
                                      0x48,         kAehaAudioButtons};
    return remote;
}

std::span<const VirtualRemote* const> knownRemotes() {
    static const std::array<const VirtualRemote*, 3> remotes{&necTvRemote(), &sircTvRemote(),
                                                             &aehaAudioRemote()};
    return remotes;
}

}  // namespace tessik::sim
