#pragma once
// One device session: everything a program needs to talk to the receiver, built in one place
// from the device options. The transport (this machine's HID devices, or an in-process
// simulated receiver, which tessik-sim also serves through uhid), the clock device waits run
// on, the trace, the link and its command senders, and a watcher for receivers arriving and
// leaving. tessik, tessik-cli and tessik-sim all build theirs here.

#include <fstream>
#include <memory>
#include <string>

#include "connect/session_options.hpp"
#include "core/device/clock.hpp"
#include "core/device/commands.hpp"
#include "core/device/device_watcher.hpp"
#include "core/device/hid_transport.hpp"
#include "core/device/log_sink.hpp"
#include "core/device/usbhidioc.hpp"

namespace tessik {
class TracingTransport;
namespace sim {
class SimulatedReceiver;
}
}  // namespace tessik

namespace tessik::connect {

// What a caller may bring instead of the session's own.
struct SessionParts {
    // Device waits (the window's keeps its event loop going). Without one: the machine's clock
    // for a real receiver, simulated time (waits return at once) for the simulated one.
    Clock* clock = nullptr;
    LogSink* log = nullptr;  // one line per exchange; none without
    // Tests: a bus, or a simulated receiver, of their own instead of what the options choose.
    HidTransport* transport = nullptr;
    sim::SimulatedReceiver* receiver = nullptr;
};

class DeviceSession {
  public:
    // Nothing, with the reason in `error`, when a fault is unknown, the state file cannot be
    // one or the trace file cannot be written.
    static std::unique_ptr<DeviceSession> open(const SessionOptions& options, std::string& error,
                                               SessionParts parts = {});
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // The bus the link talks over (traced when asked); the firmware update reaches the boot
    // loader through it.
    HidTransport& transport() { return *transport_; }
    Clock& clock() { return *clock_; }
    CUsbhidioc& link() { return *link_; }
    DeviceCommands& commands() { return *commands_; }
    // The simulated receiver the session talks to, or nullptr.
    sim::SimulatedReceiver* receiver() { return receiver_; }

    // At the end of a session: why its trace or the simulated receiver's state file could not be
    // written in full, or empty when both were (or there was none). A program that ends here
    // reports it and fails.
    std::string finish();

    // A watcher of this session's bus: the system's notices for this machine's devices (Linux:
    // libudev's monitor), comparing enumerations once a second where none can be had (`why`,
    // when given, says why),
    // comparing enumerations four times a second for the simulated receiver.
    std::unique_ptr<DeviceWatcher> watch(std::string* why = nullptr);

  private:
    DeviceSession() = default;

    std::unique_ptr<Clock> ownClock_;
    Clock* clock_ = nullptr;
    std::unique_ptr<sim::SimulatedReceiver> ownReceiver_;
    sim::SimulatedReceiver* receiver_ = nullptr;
    std::unique_ptr<HidTransport> system_;  // this machine's devices
    HidTransport* bus_ = nullptr;           // untraced
    std::ofstream trace_;
    std::unique_ptr<TracingTransport> tracing_;
    HidTransport* transport_ = nullptr;
    NullLogSink noLog_;
    // Last, so they let go of their device before the transports go.
    std::unique_ptr<CUsbhidioc> link_;
    std::unique_ptr<DeviceCommands> commands_;
};

// The simulated receiver as the sessions make it: its table kept in the options' state file,
// able to take a firmware update, waiting in its boot loader when asked.
std::unique_ptr<sim::SimulatedReceiver> makeSimulatedReceiver(Clock& clock,
                                                              const SessionOptions& options);

}  // namespace tessik::connect
