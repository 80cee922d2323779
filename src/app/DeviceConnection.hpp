#pragma once
// Everything the main window needs to talk to the receiver: the transport (real hidraw or the
// in-process simulated receiver), the clock that device waits run on, the link and the command
// layer. The transport is chosen as tessik-cli chooses it (connect/device_transport.hpp).

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/AppClock.hpp"
#include "connect/device_transport.hpp"
#include "core/device/commands.hpp"
#include "core/device/hid_transport.hpp"
#include "core/device/log_sink.hpp"
#include "core/device/notifier.hpp"
#include "core/device/usbhidioc.hpp"

namespace tessik::app {

struct DeviceOptions {
    // --simulate: the simulated receiver instead of hidraw; its table lives in `stateFile`.
    bool simulate = false;
    std::filesystem::path simulatorStateFile;
    // As on tessik-cli's command line: --sim-fault NAME[=N] settings, applied in order (checked
    // before, see CTessikApp::deviceOptions), and --sim-update-mode, a receiver that starts in
    // its boot loader waiting for a firmware update.
    std::vector<std::string> simFaults;
    bool simUpdateMode = false;

    // For tests: a transport and a clock of the caller's, used instead of our own.
    HidTransport* transport = nullptr;
    Clock* clock = nullptr;
};

class DeviceConnection {
  public:
    DeviceConnection(const DeviceOptions& options, Notifier& notifier, LogSink& log);
    ~DeviceConnection();
    DeviceConnection(const DeviceConnection&) = delete;
    DeviceConnection& operator=(const DeviceConnection&) = delete;

    CUsbhidioc& link() { return link_; }
    DeviceCommands& commands() { return commands_; }
    // The bus the link talks over; the firmware update reaches the boot loader through it.
    HidTransport& transport() { return transport_; }
    Clock& clock() { return clock_; }
    // The in-process simulated receiver the program talks to, or nullptr (hidraw, or a
    // transport a test brought).
    sim::SimulatedReceiver* simulatedReceiver() { return device_ ? device_->receiver() : nullptr; }

    // True while a device wait is letting the event loop run.
    bool waiting() const { return appClock_.sleeping(); }

  private:
    HidTransport& chooseTransport(const DeviceOptions& options);

    AppClock appClock_;
    Clock& clock_;
    std::unique_ptr<connect::DeviceTransport> device_;  // none when the test brought its own
    HidTransport& transport_;
    CUsbhidioc link_;
    DeviceCommands commands_;
};

}  // namespace tessik::app
