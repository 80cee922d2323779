#include "sim/faults.hpp"

#include <array>
#include <charconv>

namespace tessik::sim {
namespace {

constexpr std::array kBuiltIn = {
    FaultInfo{"absent", "", "no device on the bus"},
    FaultInfo{"unopenable", "", "the device is present but cannot be opened"},
    FaultInfo{"nak", "CODE", "NAK every command with this code (e.g. 0x26)"},
    FaultInfo{"nak-exchange", "N", "NAK the N-th exchange (1: the first)"},
    FaultInfo{"busy", "N", "answer status 1 (not ready) to the first N reads of every reply"},
    FaultInfo{"set-fail", "N", "the next N set-feature transfers fail"},
    FaultInfo{"get-fail", "N", "the next N get-feature transfers fail"},
    FaultInfo{"unplug-after", "N", "the device disappears after N exchanges"},
    FaultInfo{"wrong-echo", "[N]",
              "the next N (default: every) Get Capture replies echo another code"},
    FaultInfo{"oversize", "[BYTES]",
              "Get Capture replies announce a data length of BYTES (default 65534)"},
};

bool needNumber(const FaultSetting& setting, std::uint32_t max, std::uint32_t& out,
                std::string& error) {
    if (!setting.value) {
        error = "fault \"" + std::string(setting.name) + "\" needs a value";
        return false;
    }
    const auto n = parseFaultNumber(*setting.value, max);
    if (!n) {
        error = "fault \"" + std::string(setting.name) + "\": bad value \"" +
                std::string(*setting.value) + "\"";
        return false;
    }
    out = *n;
    return true;
}

}  // namespace

std::span<const FaultInfo> builtInFaults() {
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

FaultParse applyBuiltInFault(Faults& f, const FaultSetting& setting, std::string& error) {
    const std::string_view name = setting.name;
    std::uint32_t n = 0;
    auto flag = [&](bool& field) {
        if (setting.value) {
            error = "fault \"" + std::string(name) + "\" takes no value";
            return FaultParse::BadValue;
        }
        field = true;
        return FaultParse::Applied;
    };
    auto number = [&](std::uint32_t max, auto assign) {
        if (!needNumber(setting, max, n, error)) return FaultParse::BadValue;
        assign(n);
        return FaultParse::Applied;
    };
    auto optionalNumber = [&](std::uint32_t fallback, std::uint32_t max, auto assign) {
        if (!setting.value) {
            assign(fallback);
            return FaultParse::Applied;
        }
        return number(max, assign);
    };

    if (name == "absent") return flag(f.absent);
    if (name == "unopenable") return flag(f.unopenable);
    if (name == "nak") {
        return number(0xFFFF, [&](std::uint32_t v) { f.nakCode = static_cast<std::uint16_t>(v); });
    }
    if (name == "nak-exchange")
        return number(0xFFFFFFFF, [&](std::uint32_t v) { f.nakExchange = v; });
    if (name == "busy") return number(0xFFFFFFFF, [&](std::uint32_t v) { f.busyReads = v; });
    if (name == "set-fail") return number(0xFFFFFFFF, [&](std::uint32_t v) { f.setFailures = v; });
    if (name == "get-fail") return number(0xFFFFFFFF, [&](std::uint32_t v) { f.getFailures = v; });
    if (name == "unplug-after") {
        return number(0xFFFFFFFF, [&](std::uint32_t v) { f.unplugAfter = v; });
    }
    if (name == "wrong-echo") {
        return optionalNumber(kEveryTime, 0xFFFFFFFF, [&](std::uint32_t v) { f.wrongEcho = v; });
    }
    if (name == "oversize") {
        return optionalNumber(0xFFFE, 0xFFFF, [&](std::uint32_t v) {
            f.oversizedLength = static_cast<std::uint16_t>(v);
        });
    }
    return FaultParse::UnknownName;
}

}  // namespace tessik::sim
