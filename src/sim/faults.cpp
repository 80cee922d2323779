#include "sim/faults.hpp"

#include <array>
#include <charconv>

namespace tessik::sim {
namespace {

using Option = FaultOption<Faults>;

constexpr std::array<Option, 11> kBuiltIn = {{
    {{"absent", "", "no device on the bus"},
     FaultValue::None,
     [](Faults& f, const FaultArgument&) { f.absent = true; }},
    {{"unopenable", "", "the device is present but cannot be opened"},
     FaultValue::None,
     [](Faults& f, const FaultArgument&) { f.unopenable = true; }},
    {{"nak", "CODE", "NAK every command with this code (e.g. 0x26)"},
     FaultValue::Number,
     [](Faults& f, const FaultArgument& a) { f.nakCode = static_cast<std::uint16_t>(a.number); },
     0xFFFF},
    {{"nak-exchange", "N", "NAK the N-th exchange (1: the first)"},
     FaultValue::Number,
     [](Faults& f, const FaultArgument& a) { f.nakExchange = a.number; }},
    {{"busy", "N", "answer status 1 (not ready) to the first N reads of every reply"},
     FaultValue::Number,
     [](Faults& f, const FaultArgument& a) { f.busyReads = a.number; }},
    {{"set-fail", "N", "the next N set-feature transfers fail"},
     FaultValue::Number,
     [](Faults& f, const FaultArgument& a) { f.setFailures = a.number; }},
    {{"get-fail", "N", "the next N get-feature transfers fail"},
     FaultValue::Number,
     [](Faults& f, const FaultArgument& a) { f.getFailures = a.number; }},
    {{"unplug-after", "N", "the device disappears after N exchanges"},
     FaultValue::Number,
     [](Faults& f, const FaultArgument& a) { f.unplugAfter = a.number; }},
    {{"replug-ms", "MS", "a device that disappeared (unplug-after) comes back MS ms later"},
     FaultValue::Number,
     [](Faults& f, const FaultArgument& a) { f.replugMs = a.number; }},
    {{"wrong-echo", "[N]", "the next N (default: every) Get Capture replies echo another code"},
     FaultValue::OptionalNumber,
     [](Faults& f, const FaultArgument& a) { f.wrongEcho = a.number; },
     0xFFFFFFFF,
     kEveryTime},
    {{"oversize", "[BYTES]", "Get Capture replies announce a data length of BYTES (default 65534)"},
     FaultValue::OptionalNumber,
     [](Faults& f, const FaultArgument& a) {
         f.oversizedLength = static_cast<std::uint16_t>(a.number);
     },
     0xFFFF,
     0xFFFE},
}};

std::string named(const FaultSetting& setting) {
    return "fault \"" + std::string(setting.name) + "\"";
}

}  // namespace

std::span<const FaultOption<Faults>> builtInFaultOptions() {
    return kBuiltIn;
}

FaultSetting splitFaultSetting(std::string_view setting) {
    const std::size_t eq = setting.find('=');
    if (eq == std::string_view::npos) return {setting, std::nullopt};
    return {setting.substr(0, eq), setting.substr(eq + 1)};
}

std::optional<std::uint32_t> parseFaultNumber(std::string_view text, std::uint32_t max) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint32_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, base);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v > max) {
        return std::nullopt;
    }
    return v;
}

bool readFaultArgument(const FaultSetting& setting, FaultValue kind, std::uint32_t max,
                       std::uint32_t fallback, FaultArgument& argument, std::string& error) {
    if (kind == FaultValue::None) {
        if (setting.value) error = named(setting) + " takes no value";
        return !setting.value;
    }
    if (!setting.value) {
        if (kind == FaultValue::OptionalNumber) {
            argument.number = fallback;
            return true;
        }
        error = named(setting) + " needs a value";
        return false;
    }
    if (kind == FaultValue::Text) {
        argument.text = *setting.value;
        return true;
    }
    const auto n = parseFaultNumber(*setting.value, max);
    if (!n) {
        error = named(setting) + ": bad value \"" + std::string(*setting.value) + "\"";
        return false;
    }
    argument.number = *n;
    return true;
}

}  // namespace tessik::sim
