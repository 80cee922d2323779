#pragma once
// The receiver's boot loader, and the updater frames its application firmware understands.
//
// Added to a SimulatedReceiver as a firmware personality, it takes the updater's frames (request
// byte 3 = 0x01; the normal-mode commands carry 0x08 there):
//  - While the receiver runs its application (any identity but 0x07F7/0x0018) it answers
//    Identify with the boot loader's identity text and takes the two entering ModeSwitch values,
//    after which the device leaves the bus and comes back as the boot loader. Every other updater
//    command is refused.
//  - In update mode (0x07F7/0x0018, 273-byte reports) it is the boot loader: Identify, Probe,
//    FlashUnlock with the key, FlashErase of the whole application area (taking its time),
//    WriteBlock of 256 bytes into the unlocked, erased flash, Crc16Check over its flash with the
//    coverage the header written there names, and the start ModeSwitch, after which the device
//    comes back under the header's vid/pid running the new firmware, whose Get Version returns
//    that header. Normal-mode commands are not answered in update mode.
//
// Every reply carries the ready flag in byte 1, as the updater polls for it.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/firmware/image_layout.hpp"
#include "core/firmware/uf_header.hpp"
#include "sim/firmware.hpp"
#include "sim/simulated_receiver.hpp"

namespace tessik::sim {

struct BootLoaderOptions {
    // What Identify answers: "DER32UVE2" for the boot loader of type 2 images, "DER32UVE" for
    // type 1.
    std::string identity = "DER32UVE2";
    // The device starts in its boot loader, waiting for an update: its flash holds no
    // application.
    bool startInUpdateMode = false;
    // The end of the device's flash, relative to 0x08000000; the application area starts at
    // 0x4000.
    std::uint32_t flashSize = 0x100000;
    // Time on the receiver's clock from the acknowledged mode switch (into the boot loader, or
    // the start of the new firmware) until the device is back on the bus.
    std::uint32_t modeSwitchDelayMs = 1500;
    std::uint32_t startDelayMs = 1500;
    // How long the device is busy with an erase and with one block.
    std::uint32_t eraseDurationMs = 1200;
    std::uint32_t blockWriteMs = 0;
};

// Faults of the boot loader (set directly, or by name through the receiver's applyFault).
struct BootLoaderFaults {
    std::uint32_t eraseNaks = 0;  // erase-nak=N: the next N erases are refused
    bool noReturn = false;        // no-return: gone for good after a mode switch or start
    std::optional<std::uint32_t> corruptBlock;  // corrupt-block=N: block N (0 at 0x08004000)
                                                // stored with its last byte's bit 0 flipped
    std::optional<std::uint32_t> nakBlock;      // write-nak=N: the write of block N is refused
    bool neverReady = false;  // never-ready: updater frames are taken but never answered
};

class BootLoader final : public Firmware {
  public:
    BootLoader(SimulatedReceiver& receiver, BootLoaderOptions options = {});

    // Makes a boot loader and adds it in front of the receiver's firmware. With
    // startInUpdateMode the receiver shows itself as the boot loader from now on.
    static std::shared_ptr<BootLoader> attach(SimulatedReceiver& receiver,
                                              BootLoaderOptions options = {});

    Handling onRequest(std::span<const std::uint8_t> request, Reply& reply) override;
    void onPowerUp() override;
    std::vector<FaultInfo> faultCatalogue() const override;
    FaultParse applyFault(const FaultSetting& setting, std::string& error) override;

    const BootLoaderOptions& options() const { return options_; }
    BootLoaderFaults& faults() { return faults_; }
    bool inUpdateMode() const;

    // The whole flash, addressed like the tool's image buffer (offset = address - 0x08000000).
    const ImageBuffer& flash() const { return *flash_; }
    ImageBuffer& flash() { return *flash_; }
    // The uf_header at 0x4200, as the written image carries it.
    UfHeader flashHeader() const;
    // What Crc16Check answers now.
    std::uint16_t flashCrc16() const;

    bool unlocked() const { return unlocked_; }
    std::uint32_t erases() const { return erases_; }          // erase commands carried out
    std::uint32_t blocksWritten() const { return written_; }  // WriteBlock commands stored

  private:
    // The boot loader's faults, by name.
    static std::span<const FaultOption<BootLoader>> faultOptions();
    Handling applicationFrame(std::uint8_t command, std::span<const std::uint8_t> payload,
                              Reply& reply);
    Handling bootLoaderFrame(std::uint8_t command, std::uint16_t length,
                             std::span<const std::uint8_t> payload, Reply& reply);
    bool modeSwitch(std::uint32_t value, Reply& reply);
    bool erase(std::uint16_t length, std::span<const std::uint8_t> payload, Reply& reply);
    bool writeBlock(std::uint16_t length, std::span<const std::uint8_t> payload, Reply& reply);
    void answerIdentity(Reply& reply) const;
    void leaveBus(const Identity& next, std::uint32_t delayMs, Reply& reply);
    void startApplication();

    SimulatedReceiver& receiver_;
    BootLoaderOptions options_;
    BootLoaderFaults faults_;
    std::unique_ptr<ImageBuffer> flash_;
    bool unlocked_ = false;
    bool enterArmed_ = false;  // the first entering ModeSwitch value was taken
    std::uint32_t erases_ = 0;
    std::uint32_t written_ = 0;
};

// How the boot loader shows itself on the bus.
Identity updateModeIdentity();

}  // namespace tessik::sim
