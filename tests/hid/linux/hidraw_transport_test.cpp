// The hidraw transport on a fake sysfs and /dev tree.

#include <gtest/gtest.h>

#include <fstream>

#include "core/procedures/startup.hpp"
#include "core/text/strings.hpp"
#include "hid/descriptor_files.hpp"
#include "hid/linux/hidraw_transport.hpp"
#include "support/device_fixture.hpp"
#include "support/temp_dir.hpp"
#include "support/unprivileged.hpp"

namespace tessik::test {
namespace {

namespace fs = std::filesystem;
using hid::parseHidIdFromUevent;

const std::string kReceiverId = "0003:000007F7:00000021";

struct FakeTree : ::testing::Test {
    // <root>/sys/class/hidraw/NAME/device/{uevent,report_descriptor} and, with `node`, a
    // regular file standing for <root>/dev/NAME.
    void add(const std::string& name, const std::string& hidId,
             const std::vector<std::uint8_t>& descriptor, bool node = true) {
        const fs::path dir = sys / "class" / "hidraw" / name / "device";
        fs::create_directories(dir);
        std::ofstream(dir / "uevent") << "DRIVER=hid-generic\nHID_ID=" << hidId << "\nHID_NAME=x\n";
        std::ofstream(dir / "report_descriptor", std::ios::binary)
            .write(reinterpret_cast<const char*>(descriptor.data()),
                   static_cast<std::streamsize>(descriptor.size()));
        fs::create_directories(dev);
        if (node) std::ofstream(dev / name) << "";
    }

    void SetUp() override { fs::permissions(root.path(), fs::perms(0755)); }  // nobody looks too

    TempDir root;
    fs::path sys = root / "sys";
    fs::path dev = root / "dev";
    hid::HidrawTransport transport{sys, dev};
    std::vector<std::uint8_t> receiver = descriptorFile("receiver_512.hex");
};

// A well-formed HID_ID is read by every enumeration below; here, the ones refused.
TEST(HidId, aMissingOrMalformedIdInTheUeventTextIsRefused) {
    for (const char* bad : {"HID_NAME=no id\n", "HID_ID=0003:000007F7\n",
                            "HID_ID=0003:0001FFFF:00000021\n", "HID_ID=0003:0000ZZZZ:00000021\n"})
        EXPECT_FALSE(parseHidIdFromUevent(bad)) << bad;
}

TEST_F(FakeTree, enumeratesMatchingNodesInNodeNumberOrder) {
    EXPECT_TRUE(transport.enumerate(0x07F7, 0x0021).empty());  // no hidraw class at all
    add("hidraw0", "0003:0000046D:0000C52B", receiver);
    add("hidraw10", kReceiverId, receiver);
    add("hidraw2", kReceiverId, receiver);
    add("hidraw3", "0003:000007F7:00000018", descriptorFile("bootloader_273.hex"));

    const auto normal = transport.enumerate(0x07F7, 0x0021);
    ASSERT_EQ(normal.size(), 2u);
    EXPECT_EQ(normal[0].path, (dev / "hidraw2").string());
    EXPECT_EQ(normal[1].path, (dev / "hidraw10").string());

    const auto updater = transport.enumerate(0x07F7, 0x0018);
    ASSERT_EQ(updater.size(), 1u);
    EXPECT_EQ(transport.sysfsFeatureReportLength(updater[0].path), 273u);
}

TEST_F(FakeTree, openTakesTheLengthFromTheDescriptorAndChecksReportSizes) {
    add("hidraw1", kReceiverId, receiver);
    add("hidraw4", kReceiverId, receiver, false);                       // cannot be opened
    add("hidraw5", kReceiverId, {0x75, 0x08, 0x95, 0x40, 0xB1, 0x02});  // no report 1
    const auto found = transport.enumerate(0x07F7, 0x0021);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(transport.open(found[1]), nullptr);
    EXPECT_EQ(transport.open(found[2]), nullptr);
    auto device = transport.open(found[0]);
    ASSERT_TRUE(device);
    EXPECT_EQ(device->featureReportLength(), 512u);

    std::vector<std::uint8_t> wrong(64, 1);
    EXPECT_FALSE(device->setFeature(wrong));
    EXPECT_EQ(device->lastError(), platformText(std::errc::invalid_argument));
    // The stand-in node is a plain file: the feature ioctls are refused by the platform.
    std::vector<std::uint8_t> report(512, 0);
    report[0] = 1;
    EXPECT_FALSE(device->setFeature(report));
    EXPECT_EQ(device->lastError(), platformText(std::errc::inappropriate_io_control_operation));
    EXPECT_FALSE(device->getFeature(report));
}

// The link's outcomes and retries are its tests; here, what the transport's refusals become.
TEST_F(FakeTree, aNodeOnlyRootMayOpenIsReportedAsAPermissionProblem) {
    FakeClock clock;
    CUsbhidioc link(transport, clock);
    std::array<std::uint8_t, kFrameSize> frame{};
    // The receiver's node is there, but only root may open it (no udev rule yet): the start-up
    // search and every transfer say so.
    add("hidraw1", kReceiverId, receiver);
    fs::permissions(dev / "hidraw1", fs::perms::none);
    EXPECT_EXIT(asNobody([&] {
                    setUiLanguageOverride(Language::English);
                    NullLogSink log;
                    DeviceCommands commands(link, clock, log);
                    VersionArea area{};
                    const StartupResult found = runStartup(link, commands, area, {});
                    link.GetFeature(frame);
                    return found == StartupResult{StartupFinding::AccessDenied, {}} &&
                           link.outcome().error == DeviceError::NoPermission;
                }),
                ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tessik::test
