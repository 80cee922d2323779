// The Windows transport against the HID devices of the system it runs on. Under wine (as in CI)
// those are wine's own; a receiver is never among them.

#include <gtest/gtest.h>

#include <array>

#include "hid/windows/hid_transport.hpp"
#include "support/device_fixture.hpp"

namespace tessik::test {
namespace {

TEST(WindowsHid, theSystemsDevicesArePassedOverAndNoReceiverIsFound) {
    const std::vector<hid::HidCollection> present = hid::presentHidCollections();
    ::testing::Test::RecordProperty("hid_collections", static_cast<int>(present.size()));
    hid::WindowsHidTransport transport;
    for (const hid::HidCollection& c : present) {
        EXPECT_NE(c.vendorId, kVendorId) << c.path;
        // Only a collection with a feature report is offered: a keyboard or mouse never is.
        const auto offered = transport.enumerate(c.vendorId, c.productId);
        if (c.attributesRead && c.featureReportLength == 0) {
            for (const HidDeviceInfo& info : offered)
                EXPECT_NE(info.path, c.path);
        }
    }
    for (const std::uint16_t product : {kProductIdNormal, kProductIdAlternate, kProductIdUpdater})
        EXPECT_TRUE(transport.enumerate(kVendorId, product).empty()) << product;

    EXPECT_EQ(transport.open({"\\\\?\\hid#vid_07f7&pid_0021#gone", kVendorId, kProductIdNormal}),
              nullptr);
    EXPECT_EQ(transport.lastOpenError(), OpenError::Unavailable);

    // The link over it: not connected, and no permission problem.
    FakeClock clock;
    CUsbhidioc link(transport, clock);
    std::array<std::uint8_t, kFrameSize> frame{};
    EXPECT_EQ(std::tuple(link.GetFeature(frame), link.accessDenied(), link.outcome().error),
              std::tuple(false, false, DeviceError::NotConnected));
}

}  // namespace
}  // namespace tessik::test
