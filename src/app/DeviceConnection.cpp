#include "app/DeviceConnection.hpp"

#include <string>

namespace tessik::app {

DeviceConnection::DeviceConnection(const DeviceOptions& options, Notifier& notifier, LogSink& log)
    : clock_(options.clock != nullptr ? *options.clock : appClock_),
      transport_(chooseTransport(options)),
      link_(transport_, clock_, notifier),
      commands_(link_, clock_, log) {}

DeviceConnection::~DeviceConnection() {
    link_.Disconnect();
}

// The program's choice of transport, made once at start-up. The simulated receiver runs on the
// application's clock, so its waits (Save, a re-enumeration) keep the window painted like a
// real device's.
HidTransport& DeviceConnection::chooseTransport(const DeviceOptions& options) {
    if (options.transport != nullptr) return *options.transport;
    connect::TransportOptions choice;
    choice.simulate = options.simulate;
    choice.simStateFile = options.simulatorStateFile;
    choice.simFaults = options.simFaults;
    choice.simUpdateMode = options.simUpdateMode;
    std::string error;  // the faults were checked with the command line (CTessikApp)
    device_ = connect::DeviceTransport::open(choice, clock_, error);
    if (!device_) {
        // Checked with the command line already; should it fail all the same, the window still
        // gets a plain simulated receiver rather than none.
        choice.simFaults.clear();
        choice.simStateFile.clear();
        device_ = connect::DeviceTransport::open(choice, clock_, error);
    }
    return device_->transport();
}

}  // namespace tessik::app
