// Receivers arriving and leaving, as a watcher that compares enumerations sees them on the
// simulated receiver's bus.

#include <gtest/gtest.h>

#include "core/device/device_watcher.hpp"
#include "support/device_fixture.hpp"

namespace tessik::test {
namespace {

using Kind = DeviceChangeKind;

std::vector<Kind> kinds(const std::vector<DeviceChange>& changes) {
    std::vector<Kind> out;
    for (const DeviceChange& c : changes)
        out.push_back(c.kind);
    return out;
}

// Each leave comes before the arrival that follows it, also for a device that re-enumerated
// between two looks; a device plugged in again is a new instance; one pulled out by a fault
// comes back by itself when told to.
TEST(EnumerationWatcher, reportsLeavesAndArrivalsInOrderWithEachNewInstance) {
    FakeClock clock;
    sim::SimulatedReceiver receiver(clock);
    EnumerationWatcher watcher(receiver.transport(), 250);
    const std::vector<HidDeviceInfo> first = watcher.present();
    ASSERT_EQ(first.size(), 1u);
    EXPECT_TRUE(watcher.changes().empty());

    receiver.unplug();
    EXPECT_EQ(watcher.changes(), (std::vector<DeviceChange>{{Kind::Left, first[0]}}));
    receiver.plug();
    const std::vector<DeviceChange> back = watcher.changes();
    ASSERT_EQ(kinds(back), std::vector{Kind::Arrived});
    EXPECT_NE(back[0].device.path, first[0].path);

    receiver.setIdentity({kVendorId, kProductIdUpdater, 273});
    const std::vector<DeviceChange> switched = watcher.changes();
    ASSERT_EQ(kinds(switched), (std::vector{Kind::Left, Kind::Arrived}));
    EXPECT_EQ(switched[1].device.productId, kProductIdUpdater);
    EXPECT_TRUE(isReceiver(kVendorId, kProductIdUpdater) && !isReceiver(kVendorId, 0x0020));

    std::string error;
    ASSERT_TRUE(receiver.applyFault("unplug-after=0", error) &&
                receiver.applyFault("replug-ms=500", error))
        << error;
    auto device = receiver.transport().open(switched[1].device);
    std::vector<std::uint8_t> report(273, 0);
    report[0] = 1;
    EXPECT_FALSE(device->setFeature(report));
    EXPECT_EQ(kinds(watcher.changes()), std::vector{Kind::Left});
    clock.advance(499);
    EXPECT_TRUE(watcher.changes().empty());
    clock.advance(1);
    EXPECT_EQ(kinds(watcher.changes()), std::vector{Kind::Arrived});
}

}  // namespace
}  // namespace tessik::test
