// watch: one line per receiver arriving on the bus or leaving it, until interrupted.

#include <ostream>

#include "cli/commands.hpp"
#include "cli/device_options.hpp"
#include "connect/device_session.hpp"
#include "core/text/format.hpp"
#include "hid/console.hpp"

namespace tessik::cli {
namespace {

// A watcher with a descriptor is woken by it; this bounds each wait all the same, so an
// interruption is never missed for long.
constexpr std::uint32_t kLongestWaitMs = 1000;

std::string_view eventName(WatchEvent event) {
    switch (event) {
        case WatchEvent::Present:
            return "present";
        case WatchEvent::Arrived:
            return "arrived";
        case WatchEvent::Left:
            break;
    }
    return "left";
}

// A node path as a JSON string: backslashes and quotes escaped, control bytes as \u00XX.
std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            out += formatText("\\u%04x", {static_cast<unsigned>(static_cast<unsigned char>(c))});
        } else {
            out += c;
        }
    }
    return out + '"';
}

}  // namespace

std::string watchLine(WatchEvent event, const HidDeviceInfo& device, bool json) {
    const std::string identity = formatText("%04x:%04x", {device.vendorId, device.productId});
    const std::string_view mode = receiverMode(device.productId);
    if (!json) {
        return formatText("%s %s %s %s",
                          {eventName(event), identity, mode, escapeControlBytes(device.path)});
    }
    return formatText(R"({"event": "%s", "identity": "%s", "mode": "%s", "node": %s})",
                      {eventName(event), identity, mode, jsonString(device.path)});
}

int cmdWatch(const DeviceOptions& options, bool json, Io& io) {
    std::string error;
    const auto session = connect::DeviceSession::open(options, error);
    if (!session) return fail(io, error);
    std::string why;
    const auto watcher = session->watch(&why);
    if (!why.empty()) {
        io.err << "tessik-cli: " << why << "; looking for receivers once a second instead\n";
    }
    for (const HidDeviceInfo& d : watcher->present())
        io.out << watchLine(WatchEvent::Present, d, json) << std::endl;
    const std::uint32_t wait =
        watcher->pollIntervalMs() > 0 ? watcher->pollIntervalMs() : kLongestWaitMs;
    while (hid::waitUntilInterrupted(watcher->descriptor(), wait)) {
        for (const DeviceChange& c : watcher->changes()) {
            const WatchEvent event =
                c.kind == DeviceChangeKind::Arrived ? WatchEvent::Arrived : WatchEvent::Left;
            io.out << watchLine(event, c.device, json) << std::endl;
        }
    }
    return kExitOk;
}

}  // namespace tessik::cli
