#pragma once
// Faults the simulated receiver can be told to show, so that every failure path of the link,
// the commands and the procedures above them can be driven on purpose. Tests set the fields;
// the command line names them (--sim-fault NAME[=VALUE]).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tessik::sim {

// A count that never runs out.
inline constexpr std::uint32_t kEveryTime = 0xFFFFFFFF;

struct Faults {
    bool absent = false;      // the device is not on the bus
    bool unopenable = false;  // present, but every open fails (held by another program)
    std::optional<std::uint16_t> nakCode;  // every command with this code is NAKed
    std::uint32_t nakExchange = 0;  // the N-th exchange from now (1: the next) is NAKed; 0: none
    std::uint32_t busyReads = 0;    // the first N reads of every reply show status 1 (not ready)
    std::uint32_t setFailures = 0;  // the next N set-feature calls fail
    std::uint32_t getFailures = 0;  // the next N get-feature calls fail
    std::optional<std::uint32_t> unplugAfter;  // the device vanishes after N more exchanges
    std::uint32_t wrongEcho = 0;  // the next N Get Capture 0x23 replies echo another code
    std::optional<std::uint16_t> oversizedLength;  // Get Capture replies announce this length
};

struct FaultInfo {
    std::string_view name;
    std::string_view value;  // what follows "=": "N", "CODE", "[N]" when optional, "" for none
    std::string_view description;
};

// The faults every simulated receiver understands, for help texts.
std::span<const FaultInfo> builtInFaults();

enum class FaultParse { Applied, UnknownName, BadValue };

// "NAME" or "NAME=VALUE" split at the first '='.
struct FaultSetting {
    std::string_view name;
    std::optional<std::string_view> value;
};
FaultSetting splitFaultSetting(std::string_view setting);

// Applies one built-in fault; `error` says why a value was refused.
FaultParse applyBuiltInFault(Faults& faults, const FaultSetting& setting, std::string& error);

// A decimal number, or hexadecimal with 0x; nothing for anything else or above `max`.
std::optional<std::uint32_t> parseFaultNumber(std::string_view text,
                                              std::uint32_t max = 0xFFFFFFFF);

}  // namespace tessik::sim
