#pragma once
// The firmware personality of the simulated receiver: what answers a request.
//
// The receiver moves reports and applies the bus-level faults; the requests themselves are
// answered by the Firmware objects installed in it, the one added last asked first. Every
// receiver starts with the normal-mode firmware; further personalities (the updater's frames, a
// boot loader) are added in front of it.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/faults.hpp"

namespace tessik::sim {

// The answer being built for one request.
struct Reply {
    // The whole reply report (the device's feature report length), zeroed, byte 0 = report ID 1.
    std::span<std::uint8_t> frame;
    // Reads show "not ready" until this much time has passed on the receiver's clock (a device
    // busy writing its flash, for example).
    std::uint32_t notReadyForMs = 0;
    // Runs once the reply has been read (a device that re-enumerates after acknowledging).
    std::function<void()> afterDelivered;
};

enum class Handling {
    NotMine,   // not for this firmware: the next one is asked
    Answered,  // `reply` holds the answer
    Ignored,   // taken, but nothing answers: reads stay "not ready"
};

class Firmware {
  public:
    virtual ~Firmware() = default;

    // One set-feature report (the whole report, report ID first).
    virtual Handling onRequest(std::span<const std::uint8_t> request, Reply& reply) = 0;

    // The device has just come onto the bus (plugged in, or back after re-enumerating).
    virtual void onPowerUp() {}

    // Faults of this personality, for --sim-fault and its help: both answered from the
    // personality's table of FaultOptions.
    virtual std::vector<FaultInfo> faultCatalogue() const { return {}; }
    virtual FaultParse applyFault(const FaultSetting& /*setting*/, std::string& /*error*/) {
        return FaultParse::UnknownName;
    }
};

}  // namespace tessik::sim
