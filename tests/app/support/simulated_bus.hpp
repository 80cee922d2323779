#pragma once
// A USB bus of simulated receivers for the application's tests: each plugged receiver is the
// project's simulated device (with its boot loader), so the main window talks to exactly what
// the command line and the demo talk to.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/bytes/byte_io.hpp"
#include "core/device/commands.hpp"
#include "core/device/hid_transport.hpp"
#include "sim/boot_loader.hpp"
#include "sim/simulated_receiver.hpp"

namespace tessik::test {

class SimulatedBus : public HidTransport {
  public:
    explicit SimulatedBus(Clock& clock) : clock_(clock) {}

    // A receiver in normal mode with `productId` and that firmware version, or, for 0x0018, a
    // receiver waiting in its boot loader. Returns its index.
    std::size_t plug(std::uint16_t productId, std::array<std::uint8_t, 3> firmware = {1, 2, 3}) {
        sim::ReceiverOptions options;
        options.productId = productId == kProductIdUpdater ? kProductIdNormal : productId;
        options.versionMajor = firmware[0];
        options.versionMinor = firmware[1];
        options.versionThird = firmware[2];
        auto receiver = std::make_unique<sim::SimulatedReceiver>(clock_, options);
        sim::BootLoaderOptions boot;
        boot.startInUpdateMode = productId == kProductIdUpdater;
        sim::BootLoader::attach(*receiver, boot);
        receivers_.push_back(std::move(receiver));
        return receivers_.size() - 1;
    }

    sim::SimulatedReceiver& receiver(std::size_t index) { return *receivers_.at(index); }

    // A new firmware version, as after an update behind the tool's back.
    void setFirmware(std::size_t index, std::array<std::uint8_t, 3> firmware) {
        VersionArea header = receiver(index).versionHeader();
        std::copy(firmware.begin(), firmware.end(), header.begin() + 50);
        receiver(index).setVersionHeader(header);
    }

    void unplugAll() {
        for (auto& r : receivers_)
            r->unplug();
    }

    // How many Get Version commands the receivers have been sent.
    int versionRequests() const {
        int n = 0;
        for (const auto& r : receivers_) {
            for (const sim::Transfer& t : r->traffic()) {
                const ByteReader frame(t.report);
                n += t.direction == sim::Direction::Set && frame.u8(3) == 0x08 &&
                     frame.u16(4) == static_cast<std::uint16_t>(CommandCode::GetVersion);
            }
        }
        return n;
    }

    std::vector<HidDeviceInfo> enumerate(std::uint16_t vendorId, std::uint16_t productId) override {
        std::vector<HidDeviceInfo> found;
        for (std::size_t i = 0; i < receivers_.size(); ++i) {
            for (HidDeviceInfo info : receivers_[i]->transport().enumerate(vendorId, productId)) {
                info.path = std::to_string(i) + "|" + info.path;
                found.push_back(info);
            }
        }
        return found;
    }

    std::unique_ptr<HidDevice> open(const HidDeviceInfo& info) override {
        const std::size_t bar = info.path.find('|');
        if (bar == std::string::npos) return nullptr;
        HidDeviceInfo inner = info;
        inner.path = info.path.substr(bar + 1);
        return receiver(std::stoul(info.path.substr(0, bar))).transport().open(inner);
    }

  private:
    Clock& clock_;
    std::vector<std::unique_ptr<sim::SimulatedReceiver>> receivers_;
};

}  // namespace tessik::test
