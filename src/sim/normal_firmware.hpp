#pragma once
// The receiver's normal-mode firmware: the command protocol of request and reply frames.
//
// Request: byte 3 0x08, bytes 4..5 the command, 6..7 the length field, payload from byte 8.
// Reply: byte 3 the status (6 ACK, 21 NAK), byte 4 the command answered, 6..7 the reply data
// length, data from byte 8 (the capture periods from byte 10).

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
