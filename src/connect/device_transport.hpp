#pragma once
// Which transport the tool talks through: the machine's HID devices, or an in-process
// simulated receiver (running its normal firmware or waiting in its boot loader, with faults
// and a state file). tessik and tessik-cli both make the choice here.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/device/clock.hpp"
#include "core/device/hid_transport.hpp"
#include "sim/faults.hpp"

namespace tessik::sim {
class SimulatedReceiver;
}

namespace tessik::connect {

struct TransportOptions {
    bool simulate = false;  // the simulated receiver instead of the machine's devices
    // Only with `simulate`:
    std::vector<std::string> simFaults;  // "NAME" or "NAME=N", applied in order
    std::filesystem::path simStateFile;  // empty: the simulated table lives for the run only
    bool simUpdateMode = false;          // the receiver waits in its boot loader for an update
};

class DeviceTransport {
  public:
    // The simulated receiver runs on `clock`, which must outlive it. Nothing, with the reason
    // in `error`, when a fault is unknown or its value wrong.
    static std::unique_ptr<DeviceTransport> open(const TransportOptions& options, Clock& clock,
                                                 std::string& error);
    ~DeviceTransport();
    DeviceTransport(const DeviceTransport&) = delete;
    DeviceTransport& operator=(const DeviceTransport&) = delete;

    HidTransport& transport();
    // The simulated receiver, or nullptr for the machine's own devices.
    sim::SimulatedReceiver* receiver() { return receiver_.get(); }

  private:
    DeviceTransport() = default;

    std::unique_ptr<sim::SimulatedReceiver> receiver_;
    std::unique_ptr<HidTransport> system_;
};

// The faults --sim-fault takes, the normal firmware's and the boot loader's.
std::vector<sim::FaultInfo> simulatedFaults();

// Why the simulated receiver cannot take `setting` ("NAME" or "NAME=VALUE"), or empty when it
// can: for checking a command line before anything runs.
std::string simFaultProblem(const std::string& setting);
// Why `path` cannot be the simulated receiver's state file (a folder, or in a folder that is not
// there: its saves would fail unseen at every Save of the run), or empty when it can.
std::string stateFileProblem(const std::filesystem::path& path);

}  // namespace tessik::connect
