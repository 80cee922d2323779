#pragma once
// Virtual remote controls: named buttons that each send one infrared signal, for the simulated
// receiver, the demo and the tests. Pure data; nothing here knows about the receiver.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "sim/ir_signal.hpp"

namespace tessik::sim {

enum class IrProtocol { Nec, Sirc12, Sirc15, Sirc20, Aeha };

struct RemoteButton {
    std::string_view name;
    std::uint8_t command;
};

struct VirtualRemote {
    std::string_view name;
    IrProtocol protocol;
    // NEC: the address byte; SIRC: the device address; AEHA: the 16-bit customer code.
    std::uint16_t address;
    // AEHA only: the system nibble and the device byte sent before each command.
    std::uint8_t system;
    std::uint8_t device;
    std::span<const RemoteButton> buttons;

    const RemoteButton* find(std::string_view button) const;
    // The button's signal as the receiver records it (no noise); nullopt for a name the remote
    // does not have.
    std::optional<IrSignal> signal(std::string_view button) const;
    IrSignal signal(const RemoteButton& button) const;
};

// A television remote speaking NEC, 24 buttons: "Power", "Input", "1".."9", "0", "Ch+", "Ch-",
// "Vol+", "Vol-", "Mute", "Menu", "Up", "Down", "Left", "Right", "OK", "Back".
const VirtualRemote& necTvRemote();
// A television remote speaking 12-bit SIRC, device 1: the digits, channel, volume, mute, power.
const VirtualRemote& sircTvRemote();
// An audio remote speaking the household format, 48 bits per button.
const VirtualRemote& aehaAudioRemote();
// Every remote above, in that order: what a virtual remote control panel offers.
std::span<const VirtualRemote* const> knownRemotes();

// The AEHA bytes of a button: customer code (low byte first), parity nibble (the XOR of the
// customer code's four nibbles) under the system nibble, device, command, and the XOR of the
// three bytes before it as a check byte.
std::array<std::uint8_t, 6> aehaBytes(std::uint16_t customer, std::uint8_t system,
                                      std::uint8_t device, std::uint8_t command);

}  // namespace tessik::sim
