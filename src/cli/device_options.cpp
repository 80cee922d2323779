#include "cli/device_options.hpp"

#include <filesystem>
#include <ostream>
#include <system_error>

#include <CLI/CLI.hpp>

#include "core/device/trace_transport.hpp"
#include "core/device/usbhidioc.hpp"
#include "core/text/path_text.hpp"

namespace tessik::cli {

namespace {

// The faults, for the help of the commands that take the device options.
std::string faultList() {
    std::string out = "Faults of the simulated receiver (--sim-fault NAME[=N], repeatable):\n";
    for (const sim::FaultInfo& f : connect::simulatedFaults()) {
        // "busy=N"; an optional value "[N]" reads "wrong-echo[=N]".
        std::string name(f.name);
        const bool optional = f.value.size() > 2 && f.value.front() == '[';
        if (optional) name.append("[=").append(f.value.substr(1, f.value.size() - 2)).append("]");
        if (!optional && !f.value.empty()) name.append("=").append(f.value);
        out += "  " + name + std::string(name.size() < 22 ? 22 - name.size() : 1, ' ') +
               std::string(f.description) + '\n';
    }
    return out;
}

}  // namespace

void addDeviceOptions(CLI::App& command, DeviceOptions& options) {
    connect::TransportOptions& device = options.transport;
    CLI::Option* simulate = command.add_flag("--simulate", device.simulate,
                                             "use a simulated receiver instead of an attached one");
    command
        .add_option("--trace", options.tracePath,
                    "write every transfer to FILE: \"set\" or \"get\" and the report in hex")
        ->type_name("FILE");
    addSimulatorOptions(command, device, simulate);
}

void addSimulatorOptions(CLI::App& command, connect::TransportOptions& device, CLI::Option* needs) {
    const auto need = [needs](CLI::Option* option) {
        if (needs != nullptr) option->needs(needs);
    };
    need(command
             .add_option("--sim-fault", device.simFaults,
                         "make the simulated receiver fail on purpose (repeatable; listed below)")
             ->type_name("NAME[=N]")
             ->allow_extra_args(false)
             ->check(CLI::Validator(
                 [](std::string& setting) { return connect::simFaultProblem(setting); }, "",
                 "fault")));
    need(command
             .add_option_function<std::string>(
                 "--sim-state",
                 [&device](const std::string& path) { device.simStateFile = pathFromUtf8(path); },
                 "keep the simulated receiver's saved table in FILE between runs")
             ->type_name("FILE")
             ->check(CLI::Validator(
                 [](std::string& path) {
                     const std::string why = connect::stateFileProblem(pathFromUtf8(path));
                     return why.empty() ? why : path + ": " + why;
                 },
                 "", "state file")));
    need(command.add_flag(
        "--sim-update-mode", device.simUpdateMode,
        "the simulated receiver starts in its boot loader, waiting for a firmware update"));
    command.footer(faultList());
}

bool sparesInput(const DeviceOptions& options, const std::string& input, std::string& error) {
    const auto same = [&input](const std::filesystem::path& other) {
        std::error_code ec;
        if (other.empty()) return false;
        if (std::filesystem::equivalent(other, pathFromUtf8(input), ec)) return true;
        return std::filesystem::weakly_canonical(other, ec) ==
               std::filesystem::weakly_canonical(pathFromUtf8(input), ec);
    };
    if (same(pathFromUtf8(options.tracePath))) {
        error = "--trace names " + input + ", the file the command reads";
        return false;
    }
    if (same(options.transport.simStateFile)) {
        error = "--sim-state names " + input + ", the file the command reads";
        return false;
    }
    return true;
}

std::unique_ptr<DeviceAccess> DeviceAccess::open(const DeviceOptions& options, std::string& error) {
    std::unique_ptr<DeviceAccess> access(new DeviceAccess());
    if (options.transport.simulate) {
        // The simulated receiver answers at once; its waits (retries, Save's two seconds) pass
        // in simulated time. Every tick read moves it on too, so a wait that polls for a
        // deadline (the firmware update's) ends.
        access->clock_ = std::make_unique<FakeClock>(0, 1);
    } else {
        access->clock_ = std::make_unique<SteadyClock>();
    }
    access->device_ = connect::DeviceTransport::open(options.transport, *access->clock_, error);
    if (!access->device_) return nullptr;
    if (!options.tracePath.empty()) {
        // Binary: the same bytes on every system, line ends included.
        access->trace_.open(pathFromUtf8(options.tracePath),
                            std::ios::out | std::ios::trunc | std::ios::binary);
        if (!access->trace_) {
            error = "cannot write the trace file " + options.tracePath;
            return nullptr;
        }
        access->tracing_ =
            std::make_unique<TracingTransport>(access->device_->transport(), access->trace_);
    }
    return access;
}

DeviceAccess::~DeviceAccess() = default;

HidTransport& DeviceAccess::transport() {
    if (tracing_) return *tracing_;
    return device_->transport();
}

Answer TerminalNotifier::show(const Message& message) {
    if (message.caption.empty() && message.kind == MessageKind::Notice) {
        io_.out << message.text << '\n';
    } else if (message.text == kLinkNotConnectedText) {
        fail(io_, kLinkNotConnectedTextEnglish);
    } else if (message.text == kLinkNakText) {
        fail(io_, kLinkNakTextEnglish);
    } else {
        fail(io_, message.text);
    }
    // A terminal has no one to answer a question: the cautious answer.
    return message.kind == MessageKind::Question ? Answer::Cancel : Answer::Ok;
}

}  // namespace tessik::cli
