#include "connect/device_transport.hpp"

#include <filesystem>
#include <system_error>

#include "core/text/path_text.hpp"
#include "hid/system_transport.hpp"
#include "sim/boot_loader.hpp"
#include "sim/simulated_receiver.hpp"

namespace tessik::connect {
namespace {

std::unique_ptr<sim::SimulatedReceiver> makeSimulatedReceiver(Clock& clock,
                                                              const TransportOptions& options) {
    sim::ReceiverOptions receiverOptions;
    receiverOptions.stateFile = options.simStateFile;
    // Not recorded: a session of polling would only grow the record; the command line's trace
    // file is the record where one is wanted.
    receiverOptions.recordTraffic = false;
    auto receiver = std::make_unique<sim::SimulatedReceiver>(clock, std::move(receiverOptions));
    // It takes a firmware update like a real one.
    sim::BootLoader::attach(*receiver, {.startInUpdateMode = options.simUpdateMode});
    return receiver;
}

}  // namespace

std::unique_ptr<DeviceTransport> DeviceTransport::open(const TransportOptions& options,
                                                       Clock& clock, std::string& error) {
    std::unique_ptr<DeviceTransport> device(new DeviceTransport());
    if (!options.simulate) {
        device->system_ = hid::makeSystemTransport();
        return device;
    }
    if (const std::string why = stateFileProblem(options.simStateFile); !why.empty()) {
        error = pathToUtf8(options.simStateFile) + ": " + why;
        return nullptr;
    }
    device->receiver_ = makeSimulatedReceiver(clock, options);
    for (const std::string& fault : options.simFaults) {
        if (!device->receiver_->applyFault(fault, error)) return nullptr;
    }
    return device;
}

DeviceTransport::~DeviceTransport() = default;

HidTransport& DeviceTransport::transport() {
    if (receiver_) return receiver_->transport();
    return *system_;
}

std::vector<sim::FaultInfo> simulatedFaults() {
    FakeClock clock;
    return makeSimulatedReceiver(clock, {})->faultCatalogue();
}

std::string simFaultProblem(const std::string& setting) {
    FakeClock clock;
    std::string error;
    if (makeSimulatedReceiver(clock, {})->applyFault(setting, error)) return {};
    return error;
}

std::string stateFileProblem(const std::filesystem::path& path) {
    if (path.empty()) return {};
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return "is a folder, not a state file";
    const std::filesystem::path folder = path.parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(folder, ec)) {
        return "its folder does not exist";
    }
    return {};
}

}  // namespace tessik::connect
