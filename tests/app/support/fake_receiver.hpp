#pragma once
// A fake USB bus for the application's start-up and version tests: receivers that can be
// plugged and unplugged, answering Get Version with their firmware header and acknowledging
// every other command. Nothing here touches a real device.

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/bytes/byte_io.hpp"
#include "core/device/commands.hpp"
#include "core/device/hid_transport.hpp"

namespace tessik::test {

class FakeReceiverBus : public HidTransport {
  public:
    struct Receiver {
        std::uint16_t productId = kProductIdNormal;
        std::array<std::uint8_t, 3> firmware{1, 2, 3};  // major, minor, third
        bool present = true;
    };

    std::size_t plug(std::uint16_t productId, std::array<std::uint8_t, 3> firmware = {1, 2, 3}) {
        receivers.push_back(Receiver{productId, firmware, true});
        return receivers.size() - 1;
    }
    void unplugAll() {
        for (auto& r : receivers)
            r.present = false;
    }

    std::vector<HidDeviceInfo> enumerate(std::uint16_t vendorId, std::uint16_t productId) override {
        std::vector<HidDeviceInfo> found;
        for (std::size_t i = 0; i < receivers.size(); ++i) {
            if (vendorId == kVendorId && receivers[i].present &&
                receivers[i].productId == productId) {
                found.push_back({"fake:" + std::to_string(i), vendorId, productId});
            }
        }
        return found;
    }

    std::unique_ptr<HidDevice> open(const HidDeviceInfo& info) override {
        const std::size_t index = std::stoul(info.path.substr(5));
        return std::make_unique<Device>(*this, index);
    }

    std::vector<Receiver> receivers;
    int versionRequests = 0;

  private:
    class Device : public HidDevice {
      public:
        Device(FakeReceiverBus& bus, std::size_t index) : bus_(bus), index_(index) {}

        std::size_t featureReportLength() const override {
            // The boot loader's report is 273 bytes long, the normal mode's one whole frame.
            return receiver().productId == kProductIdUpdater ? 273 : kFrameSize;
        }
        bool setFeature(std::span<const std::uint8_t> report) override {
            if (!receiver().present) return false;
            lastCode_ = ByteReader(report).u16(4);
            if (lastCode_ == static_cast<std::uint16_t>(CommandCode::GetVersion)) {
                ++bus_.versionRequests;
            }
            return true;
        }
        bool getFeature(std::span<std::uint8_t> report) override {
            if (!receiver().present) return false;
            std::fill(report.begin() + 1, report.end(), 0);
            ByteWriter w(report);
            w.u8(3, kStatusAck);
            w.u16(4, lastCode_);
            if (lastCode_ == static_cast<std::uint16_t>(CommandCode::GetVersion)) {
                w.u16(6, static_cast<std::uint16_t>(kVersionAreaSize));
                // The 80-byte firmware header from byte 8: version at 50..52, identity at 76.
                w.u8(8 + 50, receiver().firmware[0]);
                w.u8(8 + 51, receiver().firmware[1]);
                w.u8(8 + 52, receiver().firmware[2]);
                w.u16(8 + 76, kVendorId);
                w.u16(8 + 78, receiver().productId);
            }
            return true;
        }
        std::string lastError() const override { return "No such device"; }

      private:
        const Receiver& receiver() const { return bus_.receivers[index_]; }
        FakeReceiverBus& bus_;
        std::size_t index_;
        std::uint16_t lastCode_ = 0;
    };
};

}  // namespace tessik::test
