#include "cli/device_options.hpp"

#include <filesystem>
#include <ostream>
#include <system_error>

#include "core/device/trace_transport.hpp"

namespace tessik::cli {

bool takeDeviceOptions(Args& args, DeviceOptions& options, std::string& error) {
    Args rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            into = args[++i];
            return true;
        };
        connect::TransportOptions& device = options.transport;
        if (a == "--simulate") {
            device.simulate = true;
        } else if (a == "--trace") {
            if (!value(options.tracePath)) return false;
        } else if (a == "--sim-fault") {
            std::string fault;
            if (!value(fault)) return false;
            device.simFaults.push_back(fault);
        } else if (a == "--sim-state") {
            std::string path;
            if (!value(path)) return false;
            device.simStateFile = path;
        } else if (a == "--sim-update-mode") {
            device.simUpdateMode = true;
        } else {
            rest.push_back(a);
        }
    }
    const connect::TransportOptions& device = options.transport;
    if (!device.simulate && (!device.simFaults.empty() || !device.simStateFile.empty())) {
        error = "--sim-fault and --sim-state need --simulate";
        return false;
    }
    if (!device.simulate && device.simUpdateMode) {
        error = "--sim-update-mode needs --simulate";
        return false;
    }
    args = std::move(rest);
    return true;
}

void printDeviceOptionsHelp(std::ostream& out) {
    out << "\ndevice options (for the commands that talk to the receiver):\n"
           "  --simulate            use a simulated receiver instead of an attached one\n"
           "  --trace FILE          write every transfer to FILE: \"set\" or \"get\" and the "
           "report in hex\n"
           "  --sim-fault NAME[=N]  make the simulated receiver fail (repeatable), NAME one of:\n";
    for (const sim::FaultInfo& f : connect::simulatedFaults()) {
        // "busy=N"; an optional value "[N]" reads "wrong-echo[=N]".
        std::string name(f.name);
        const bool optional = f.value.size() > 2 && f.value.front() == '[';
        if (optional) name.append("[=").append(f.value.substr(1, f.value.size() - 2)).append("]");
        if (!optional && !f.value.empty()) name.append("=").append(f.value);
        out << "      " << name << std::string(name.size() < 22 ? 22 - name.size() : 1, ' ')
            << f.description << '\n';
    }
    out << "  --sim-state FILE      keep the simulated receiver's saved table in FILE between "
           "runs\n";
    out << "  --sim-update-mode     the simulated receiver starts in its boot loader, waiting for "
           "a firmware update\n";
}

bool sparesInput(const DeviceOptions& options, const std::string& input, std::string& error) {
    const auto same = [&input](const std::filesystem::path& other) {
        std::error_code ec;
        if (other.empty()) return false;
        if (std::filesystem::equivalent(other, input, ec)) return true;
        return std::filesystem::weakly_canonical(other, ec) ==
               std::filesystem::weakly_canonical(input, ec);
    };
    if (same(options.tracePath)) {
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
        access->trace_.open(options.tracePath, std::ios::out | std::ios::trunc);
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
    } else if (message.caption.empty()) {
        io_.err << message.text << '\n';
    } else {
        io_.err << message.caption << ": " << message.text << '\n';
    }
    // A terminal has no one to answer a question: the cautious answer.
    return message.kind == MessageKind::Question ? Answer::Cancel : Answer::Ok;
}

}  // namespace tessik::cli
