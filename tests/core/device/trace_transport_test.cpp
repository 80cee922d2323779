// The trace writer: one line per transfer of whatever transport it wraps.

#include <gtest/gtest.h>

#include <array>
#include <sstream>

#include "core/device/trace_transport.hpp"
#include "support/device_fixture.hpp"

namespace tessik::test {
namespace {

TEST(TracingTransport, writesEveryTransferAsDirectionAndLowerCaseHex) {
    EXPECT_EQ(traceLine("get", std::array<std::uint8_t, 4>{0x01, 0xAB, 0x00, 0xFE}, false),
              "get 01ab00fe failed");
    EXPECT_EQ(traceLine("get", {}, true), "get ");  // an empty report

    FakeClock clock;
    sim::SimulatedReceiver receiver(clock);
    std::ostringstream out;
    TracingTransport traced(receiver.transport(), out);
    const auto device = traced.open(traced.enumerate(kVendorId, kProductIdNormal).at(0));
    ASSERT_TRUE(device);
    EXPECT_EQ(device->featureReportLength(), kFrameSize);
    const Bytes request = frame({0x01, 0x00, 0x00, 0x08, 0x02});  // Get Version
    Bytes reply = frame({0x01});                                  // the report ID asked for
    EXPECT_TRUE(device->setFeature(request));
    EXPECT_TRUE(device->getFeature(reply));
    EXPECT_FALSE(device->setFeature(std::span(request).first(4)));  // not a whole report
    EXPECT_EQ(device->lastError(), platformText(std::errc::invalid_argument));
    EXPECT_EQ(out.str(), traceLine("set", request, true) + "\n" + traceLine("get", reply, true) +
                             "\nset 01000008 failed\n");
}

}  // namespace
}  // namespace tessik::test
