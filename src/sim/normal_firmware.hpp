#pragma once
// The receiver's normal-mode firmware: the command protocol of request and reply frames laid
// out in core/device/frame_layout.hpp. Every SimulatedReceiver is made with it installed.

#include "sim/firmware.hpp"

namespace tessik::sim {

class SimulatedReceiver;

class NormalFirmware final : public Firmware {
  public:
    explicit NormalFirmware(SimulatedReceiver& receiver) : receiver_(receiver) {}

    Handling onRequest(std::span<const std::uint8_t> request, Reply& reply) override;

  private:
    void startCapture(Reply& reply);
    void getCapture(std::uint16_t code, Reply& reply);
    bool store(std::span<const std::uint8_t> request, std::uint16_t code, std::uint16_t length);

    SimulatedReceiver& receiver_;
};

}  // namespace tessik::sim
