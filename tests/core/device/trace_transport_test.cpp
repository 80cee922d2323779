// The trace writer: one line per transfer of whatever transport it wraps.

#include <gtest/gtest.h>

#include <sstream>

#include "core/device/trace_transport.hpp"

namespace tessik {
namespace {

// A device that accepts sets, answers gets with a fixed report, and refuses once asked to.
class ScriptedDevice : public HidDevice {
  public:
    std::size_t featureReportLength() const override { return 4; }
    bool setFeature(std::span<const std::uint8_t>) override { return !refuse; }
    bool getFeature(std::span<std::uint8_t> report) override {
        if (refuse) return false;
        const std::uint8_t reply[4] = {0x01, 0xAB, 0x00, 0x06};
        std::copy(reply, reply + 4, report.begin());
        return true;
    }
    std::string lastError() const override { return "refused"; }
    bool refuse = false;
};

class ScriptedTransport : public HidTransport {
  public:
    std::vector<HidDeviceInfo> enumerate(std::uint16_t v, std::uint16_t p) override {
        return {HidDeviceInfo{"scripted", v, p}};
    }
    std::unique_ptr<HidDevice> open(const HidDeviceInfo&) override {
        auto d = std::make_unique<ScriptedDevice>();
        last = d.get();
        return d;
    }
    ScriptedDevice* last = nullptr;
};

TEST(TracingTransport, writesEveryTransferAsDirectionAndLowerCaseHex) {
    ScriptedTransport inner;
    std::ostringstream out;
    TracingTransport traced(inner, out);
    const auto found = traced.enumerate(0x07F7, 0x0021);
    ASSERT_EQ(found.size(), 1u);
    auto device = traced.open(found[0]);
    ASSERT_TRUE(device);
    EXPECT_EQ(device->featureReportLength(), 4u);

    std::uint8_t request[4] = {0x01, 0x00, 0xFE, 0x08};
    std::uint8_t reply[4] = {0x01, 0x01, 0x01, 0x01};
    EXPECT_TRUE(device->setFeature(request));
    EXPECT_TRUE(device->getFeature(reply));
    inner.last->refuse = true;
    EXPECT_FALSE(device->setFeature(request));
    EXPECT_EQ(device->lastError(), "refused");
    EXPECT_EQ(out.str(), "set 0100fe08\nget 01ab0006\nset 0100fe08 failed\n");
    EXPECT_EQ(traceLine("get", {}, true), "get ");  // an empty report
}

}  // namespace
}  // namespace tessik
