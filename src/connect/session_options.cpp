#include "connect/session_options.hpp"

#include <array>
#include <system_error>

#include "connect/device_session.hpp"
#include "core/device/clock.hpp"
#include "core/text/format.hpp"
#include "core/text/path_text.hpp"
#include "sim/device_table.hpp"
#include "sim/simulated_receiver.hpp"

namespace tessik::connect {
namespace {

std::string stateFileValueProblem(const std::string& path) {
    const std::string why = stateFileProblem(pathFromUtf8(path));
    return why.empty() ? why : escapeControlBytes(path) + ": " + why;
}

std::string traceFileValueProblem(const std::string& path) {
    const std::string why = traceFileProblem(pathFromUtf8(path));
    return why.empty() ? why : escapeControlBytes(path) + ": " + why;
}

const std::array<SessionOption, 5> kOptions = {{
    {"simulate", "", "use a simulated receiver instead of an attached one", OptionKind::Flag, false,
     nullptr, [](SessionOptions& o, const std::string&) { o.simulate = true; }},
    {"trace", "FILE",
     "write every transfer to FILE (a regular file, replaced): \"set\" or \"get\" and the "
     "report in hex",
     OptionKind::Value, false, traceFileValueProblem,
     [](SessionOptions& o, const std::string& v) { o.tracePath = pathFromUtf8(v); }},
    {"sim-fault", "NAME[=N]",
     "make the simulated receiver fail on purpose (repeatable; the faults are listed below)",
     OptionKind::Repeated, true, simFaultProblem,
     [](SessionOptions& o, const std::string& v) { o.simFaults.push_back(v); }},
    {"sim-state", "FILE",
     "keep the simulated receiver's saved table in FILE between runs: a state file of an earlier "
     "run, or a new or empty file; any other file is refused, never written over",
     OptionKind::Value, true, stateFileValueProblem,
     [](SessionOptions& o, const std::string& v) { o.simStateFile = pathFromUtf8(v); }},
    {"sim-update-mode", "",
     "the simulated receiver starts in its boot loader, waiting for a firmware update",
     OptionKind::Flag, true, nullptr,
     [](SessionOptions& o, const std::string&) { o.simUpdateMode = true; }},
}};

}  // namespace

std::span<const SessionOption> sessionOptions() {
    return kOptions;
}

std::string simulatorOptionsProblem(const SessionOptions& o) {
    if (o.simulate || (o.simFaults.empty() && o.simStateFile.empty() && !o.simUpdateMode)) {
        return {};
    }
    return "--sim-fault, --sim-update-mode and --sim-state need --simulate";
}

std::vector<sim::FaultInfo> simulatedFaults() {
    FakeClock clock;
    return makeSimulatedReceiver(clock, {})->faultCatalogue();
}

// "busy=N"; an optional value "[N]" reads "wrong-echo[=N]".
std::string faultHelp() {
    std::string out = "Faults of the simulated receiver (--sim-fault NAME[=N], repeatable):\n";
    for (const sim::FaultInfo& f : simulatedFaults()) {
        std::string name(f.name);
        const bool optional = f.value.size() > 2 && f.value.front() == '[';
        if (optional) name.append("[=").append(f.value.substr(1, f.value.size() - 2)).append("]");
        if (!optional && !f.value.empty()) name.append("=").append(f.value);
        out += "  " + name + std::string(name.size() < 22 ? 22 - name.size() : 1, ' ') +
               std::string(f.description) + '\n';
    }
    return out;
}

std::string simFaultProblem(const std::string& setting) {
    FakeClock clock;
    std::string error;
    if (makeSimulatedReceiver(clock, {})->applyFault(setting, error)) return {};
    return error;
}

std::string traceFileProblem(const std::filesystem::path& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status) || std::filesystem::is_regular_file(status)) return {};
    return "not a regular file; a trace goes to a file of its own";
}

std::string stateFileProblem(const std::filesystem::path& path) {
    if (path.empty()) return {};
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return "is a folder, not a state file";
    const std::filesystem::path folder = path.parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(folder, ec)) {
        return "its folder does not exist";
    }
    return sim::readStateFile(path).problem;
}

}  // namespace tessik::connect
