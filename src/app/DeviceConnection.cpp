#include "app/DeviceConnection.hpp"

namespace tessik::app {
namespace {

// Finds no receiver: the link reports "not connected" and every command fails cleanly.
class NoReceiverTransport : public HidTransport {
  public:
    std::vector<HidDeviceInfo> enumerate(std::uint16_t, std::uint16_t) override { return {}; }
    std::unique_ptr<HidDevice> open(const HidDeviceInfo&) override { return nullptr; }
};

}  // namespace

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
    static_cast<void>(clock);  // the simulated receiver keeps its time on the device clock
    // Until the hidraw transport and the simulated receiver are built in, both choices use a
    // transport that finds no receiver.
    if (options.simulate) {
        auto simulated = std::make_shared<NoReceiverTransport>();
        return {simulated, simulated.get()};
    }
    auto hidraw = std::make_shared<NoReceiverTransport>();
    return {hidraw, hidraw.get()};
}

}  // namespace tessik::app
