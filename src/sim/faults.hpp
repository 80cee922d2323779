#pragma once
// Faults the simulated receiver can be told to show, so that every failure path of the link,
// the commands and the procedures above them can be driven on purpose. Tests set the fields;
// the command line names them (--sim-fault NAME[=VALUE]).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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
    std::optional<std::uint32_t> replugMs;     // ... and comes back this many ms later
    std::uint32_t wrongEcho = 0;  // the next N Get Capture 0x23 replies echo another code
    std::optional<std::uint16_t> oversizedLength;  // Get Capture replies announce this length
};

struct FaultInfo {
    std::string_view name;
    std::string_view value;  // what follows "=": "N", "CODE", "[N]" when optional, "" for none
    std::string_view description;
};

enum class FaultParse { Applied, UnknownName, BadValue };

// "NAME" or "NAME=VALUE" split at the first '='.
struct FaultSetting {
    std::string_view name;
    std::optional<std::string_view> value;
};
FaultSetting splitFaultSetting(std::string_view setting);

// The kind of value a fault takes.
enum class FaultValue {
    None,            // "NAME"
    Number,          // "NAME=N", decimal or 0x hexadecimal, up to the option's max
    OptionalNumber,  // "NAME=N", or "NAME" for the option's fallback
    Text,            // "NAME=TEXT"
};

// What a setting's value turned into.
struct FaultArgument {
    std::uint32_t number = 0;
    std::string_view text;
};

// One fault a personality understands: its name and help, the kind of value it takes, and what
// it sets on `Target`. A personality keeps a table of these.
template <typename Target>
struct FaultOption {
    FaultInfo info;
    FaultValue kind = FaultValue::None;
    void (*set)(Target&, const FaultArgument&) = nullptr;
    std::uint32_t max = 0xFFFFFFFF;  // numbers beyond are refused
    std::uint32_t fallback = 0;      // OptionalNumber given without a value
};

// Reads the setting's value as `kind` takes it; false with the reason in `error`.
bool readFaultArgument(const FaultSetting& setting, FaultValue kind, std::uint32_t max,
                       std::uint32_t fallback, FaultArgument& argument, std::string& error);

// Applies the option of `table` that the setting names to `target`.
template <typename Target>
FaultParse applyFaultOption(std::span<const FaultOption<Target>> table, Target& target,
                            const FaultSetting& setting, std::string& error) {
    for (const FaultOption<Target>& option : table) {
        if (option.info.name != setting.name) continue;
        FaultArgument argument;
        if (!readFaultArgument(setting, option.kind, option.max, option.fallback, argument,
                               error)) {
            return FaultParse::BadValue;
        }
        option.set(target, argument);
        return FaultParse::Applied;
    }
    return FaultParse::UnknownName;
}

// The names and help of a table, for help texts.
template <typename Target>
std::vector<FaultInfo> faultInfos(std::span<const FaultOption<Target>> table) {
    std::vector<FaultInfo> infos;
    infos.reserve(table.size());
    for (const FaultOption<Target>& option : table)
        infos.push_back(option.info);
    return infos;
}

// The faults every simulated receiver understands: those of its bus and its link.
std::span<const FaultOption<Faults>> builtInFaultOptions();

// A decimal number, or hexadecimal with 0x; nothing for anything else or above `max`.
std::optional<std::uint32_t> parseFaultNumber(std::string_view text,
                                              std::uint32_t max = 0xFFFFFFFF);

}  // namespace tessik::sim
