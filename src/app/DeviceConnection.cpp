#include "app/DeviceConnection.hpp"

#include "hid/linux/hidraw_transport.hpp"
#include "sim/boot_loader.hpp"
#include "sim/simulated_receiver.hpp"

namespace tessik::app {

DeviceConnection::DeviceConnection(const DeviceOptions& options, Notifier& notifier, LogSink& log)
    : clock_(options.clock != nullptr ? *options.clock : appClock_),
      transport_(createTransport(options, clock_)),
      link_(*transport_.transport, clock_, notifier),
      commands_(link_, clock_, log) {}

DeviceConnection::~DeviceConnection() {
    link_.Disconnect();
}

// The program's choice of transport, made once at start-up.
DeviceConnection::Transport DeviceConnection::createTransport(const DeviceOptions& options,
                                                              Clock& clock) {
    if (options.transport != nullptr) return {nullptr, options.transport};
    if (options.simulate) {
        // The simulated receiver runs on the application's clock, so its waits (Save, a
        // re-enumeration) keep the window painted like a real device's. Its traffic is not
        // recorded: a session of polling would only grow that record.
        sim::ReceiverOptions receiverOptions;
        receiverOptions.stateFile = options.simulatorStateFile;
        receiverOptions.recordTraffic = false;
        auto receiver = std::make_shared<sim::SimulatedReceiver>(clock, receiverOptions);
        // It can take a firmware update like a real one.
        sim::BootLoader::attach(*receiver, {.startInUpdateMode = options.simUpdateMode});
        receiver->plug();
        std::string error;
        for (const std::string& fault : options.simFaults)
            receiver->applyFault(fault, error);
        return {receiver, &receiver->transport()};
    }
    auto hidraw = std::make_shared<hid::HidrawTransport>();
    return {hidraw, hidraw.get()};
}

}  // namespace tessik::app
