#pragma once
// Everything the main window needs to talk to the receiver: the device session of
// connect/device_session.hpp (transport, trace, link, commands, watcher) made from the command
// line's device options, with the application's clock, which keeps the windows painted while a
// device wait lasts.

#include <memory>
#include <string>

#include "app/AppClock.hpp"
#include "connect/device_session.hpp"
#include "core/device/commands.hpp"
#include "core/device/device_watcher.hpp"
#include "core/device/hid_transport.hpp"
#include "core/device/log_sink.hpp"
#include "core/device/usbhidioc.hpp"

namespace tessik::app {

struct DeviceOptions : connect::SessionOptions {
    // For tests: a transport, or a simulated receiver, and a clock of the caller's, used
    // instead of what the options choose.
    HidTransport* transport = nullptr;
    sim::SimulatedReceiver* receiver = nullptr;
    Clock* clock = nullptr;
    // Whether receivers arriving and leaving are looked at as they come; without, only when
    // the main window is asked to (tests, which decide when).
    bool followDevices = true;
};

class DeviceConnection {
  public:
    DeviceConnection(const DeviceOptions& options, LogSink& log);
    ~DeviceConnection();
    DeviceConnection(const DeviceConnection&) = delete;
    DeviceConnection& operator=(const DeviceConnection&) = delete;

    CUsbhidioc& link() { return session_->link(); }
    DeviceCommands& commands() { return session_->commands(); }
    // The bus the link talks over; the firmware update reaches the boot loader through it.
    HidTransport& transport() { return session_->transport(); }
    Clock& clock() { return session_->clock(); }
    // The simulated receiver the program talks to, or nullptr (a receiver of this machine, or a
    // bare transport a test brought).
    sim::SimulatedReceiver* simulatedReceiver() { return session_->receiver(); }
    // Receivers arriving and leaving on the session's bus.
    std::unique_ptr<DeviceWatcher> watch() { return session_->watch(); }

    // True while a device wait is letting the event loop run.
    bool waiting() const { return appClock_.sleeping(); }

  private:
    AppClock appClock_;
    std::unique_ptr<connect::DeviceSession> session_;
};

}  // namespace tessik::app
