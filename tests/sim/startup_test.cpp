// The device search when the main window opens, against receivers of each identity.

#include <gtest/gtest.h>

#include "core/device/startup.hpp"
#include "core/text/strings.hpp"
#include "sim/device_fixture.hpp"

namespace tessik::test {
namespace {

struct Startup : ::testing::Test {
    void make(sim::ReceiverOptions options) {
        receiver = std::make_unique<sim::SimulatedReceiver>(clock, std::move(options));
        link = std::make_unique<CUsbhidioc>(receiver->transport(), clock, notifier);
        commands = std::make_unique<DeviceCommands>(*link, clock, log);
    }
    StartupFinding run(Language language = Language::English) {
        area.fill(0xAA);  // start-up zeroes it first
        return runStartup(*link, *commands, notifier, area, language, [this] { ++updates; });
    }

    FakeClock clock;
    RecordingNotifier notifier;
    VectorLogSink log;
    std::unique_ptr<sim::SimulatedReceiver> receiver;
    std::unique_ptr<CUsbhidioc> link;
    std::unique_ptr<DeviceCommands> commands;
    VersionArea area{};
    int updates = 0;
};

TEST_F(Startup, normalDeviceIsFoundQuietlyAndAskedForItsVersion) {
    make({});
    EXPECT_EQ(run(), StartupFinding::Normal);
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(area, receiver->versionHeader());
    EXPECT_EQ(area[50], 1);
    EXPECT_EQ(area[51], 2);
    EXPECT_EQ(area[52], 3);
    EXPECT_EQ(log.lines, std::vector<std::string>{"Send Get Version Command Success"});
    EXPECT_EQ(link->productId, kProductIdNormal);
    EXPECT_TRUE(link->connected());
}

TEST_F(Startup, alternateIdentityIsAcceptedAndTheLinkLooksFor0x0021Afterwards) {
    make({.productId = kProductIdAlternate});
    EXPECT_EQ(run(), StartupFinding::Alternate);
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(area, receiver->versionHeader());
    EXPECT_EQ(link->productId, kProductIdNormal);
    EXPECT_TRUE(link->connected());
}

TEST_F(Startup, deviceWaitingForAnUpdateOpensTheUpdateWithItsIdentityNoted) {
    make({.productId = kProductIdUpdater, .featureReportLength = 273});
    EXPECT_EQ(run(), StartupFinding::UpdateWaiting);
    EXPECT_EQ(updates, 1);
    // 148 as a notice, then Get Version looks for 0x0021 and finds nothing.
    EXPECT_EQ(notifier.messages,
              (std::vector<Message>{
                  {"INFORMATION", std::string(text(StringId::UpdateWaiting, Language::English)),
                   MessageKind::Notice},
                  errorBox(kLinkNotConnectedText)}));
    VersionArea expected{};
    expected[76] = 0xF7;
    expected[77] = 0x07;
    expected[78] = 0x18;
    EXPECT_EQ(area, expected);
    EXPECT_EQ(link->productId, kProductIdNormal);
    EXPECT_EQ(log.lines, std::vector<std::string>{"USB Send Error"});
}

TEST_F(Startup, noDeviceSaysSoTwiceAndLeavesTheAreaZero) {
    make({});
    receiver->faults().absent = true;
    EXPECT_EQ(run(), StartupFinding::NotFound);
    EXPECT_EQ(notifier.messages, (std::vector<Message>{errorBox("The device is not connected."),
                                                       errorBox(kLinkNotConnectedText)}));
    EXPECT_EQ(area, VersionArea{});
    EXPECT_EQ(updates, 0);
}

TEST_F(Startup, notConnectedTextFollowsTheInterfaceLanguageButTheLinksStaysJapanese) {
    make({});
    receiver->faults().absent = true;
    run(Language::Japanese);
    ASSERT_EQ(notifier.messages.size(), 2u);
    EXPECT_EQ(notifier.messages[0].text, text(StringId::DeviceNotConnected, Language::Japanese));
    EXPECT_EQ(notifier.messages[1].text, kLinkNotConnectedText);
}

TEST_F(Startup, aDevicePluggedInLaterIsUsedWithoutRestart) {
    make({});
    receiver->unplug();
    run();
    receiver->plug();
    VersionArea again{};
    EXPECT_TRUE(commands->GetVersion(again));
    EXPECT_EQ(again, receiver->versionHeader());
}

}  // namespace
}  // namespace tessik::test
