// The device search when the main window opens and when receivers come and go, against
// receivers of each identity, and the status line that tells its result.

#include <gtest/gtest.h>

#include "core/procedures/receiver_status.hpp"
#include "core/procedures/startup.hpp"
#include "core/text/strings.hpp"
#include "support/device_fixture.hpp"

namespace tessik::test {
namespace {

struct Startup : DeviceRig {
    using DeviceRig::DeviceRig;
    // The window's part: the notice of the finding, the update for a waiting boot loader.
    StartupResult run(Language language = Language::English) {
        area.fill(0xAA);  // start-up zeroes it first
        return runStartup(link, commands, area, [this, language](StartupFinding found) {
            if (const auto notice = startupNotice(found, language)) notifier.show(*notice);
            if (found == StartupFinding::UpdateWaiting) ++updates;
        });
    }
    VersionArea area{};
    int updates = 0;
};

TEST(StartupSearch, normalAndAlternateDevicesAreFoundQuietlyAndAskedForTheirVersion) {
    for (const auto& [pid, finding] : {std::pair{kProductIdNormal, StartupFinding::Normal},
                                       std::pair{kProductIdAlternate, StartupFinding::Alternate}}) {
        Startup s({.productId = pid});
        EXPECT_EQ(s.run(), (StartupResult{finding, {}}));
        EXPECT_TRUE(s.notifier.messages.empty());
        EXPECT_EQ(s.area, s.receiver.versionHeader());
        EXPECT_EQ(s.log.lines, std::vector<std::string>{"Send Get Version Command Success"});
        EXPECT_EQ(s.link.productId, kProductIdNormal);  // what the link looks for afterwards
        EXPECT_TRUE(s.link.connected());
        EXPECT_EQ(s.updates, 0);
    }
}

TEST(StartupSearch, deviceWaitingForAnUpdateOpensTheUpdateWithItsIdentityNoted) {
    Startup s({.productId = kProductIdUpdater, .featureReportLength = 273});
    // 148 as a notice, the update, then Get Version looks for 0x0021 and finds nothing.
    EXPECT_EQ(s.run(),
              (StartupResult{StartupFinding::UpdateWaiting, {DeviceError::NotConnected, ""}}));
    EXPECT_EQ(s.updates, 1);
    EXPECT_EQ(s.notifier.messages,
              (std::vector<Message>{{"INFORMATION",
                                     std::string(text(StringId::UpdateWaiting, Language::English)),
                                     MessageKind::Notice}}));
    VersionArea expected{};
    expected[76] = 0xF7;
    expected[77] = 0x07;
    expected[78] = 0x18;
    EXPECT_EQ(s.area, expected);
    EXPECT_EQ(s.link.productId, kProductIdNormal);
    EXPECT_EQ(s.log.lines, std::vector<std::string>{"USB Send Error"});
}

TEST(StartupSearch, noDeviceSaysSoInTheInterfaceLanguageAndGetVersionFindsNothing) {
    for (const Language language : {Language::English, Language::Japanese}) {
        Startup s;
        s.receiver.faults().absent = true;
        EXPECT_EQ(s.run(language),
                  (StartupResult{StartupFinding::NotFound, {DeviceError::NotConnected, ""}}));
        EXPECT_EQ(s.notifier.messages,
                  std::vector{errorBox(text(StringId::DeviceNotConnected, language))});
        EXPECT_EQ(s.area, VersionArea{});
        EXPECT_EQ(s.updates, 0);

        // Plugged in later: used without a restart.
        s.receiver.faults().absent = false;
        VersionArea again{};
        EXPECT_TRUE(s.commands.GetVersion(again));
        EXPECT_EQ(again, s.receiver.versionHeader());
    }
}

// As receivers come and go the search runs again without a word; the status line tells what
// it found, the firmware read from the version area.
TEST(ReceiverStatus, followsTheReceiverAsItLeavesComesBackAndWaitsInItsBootLoader) {
    Startup s;
    const auto status = [&s](bool simulated = false, Language language = Language::English) {
        const StartupResult found = searchAgain(s.link, s.commands, s.area);
        return receiverStatusText(receiverState(found.finding), simulated, s.area, language);
    };
    EXPECT_EQ(status(), "Receiver connected – firmware 1.2.3");
    EXPECT_EQ(status(true, Language::Japanese), "シミュレーション受信機 – ファームウェア 1.2.3");
    s.receiver.unplug();
    EXPECT_EQ(status(), "No receiver connected");
    EXPECT_EQ(s.area, VersionArea{});
    s.receiver.setIdentity({kVendorId, kProductIdUpdater, 273});
    s.receiver.plug();
    EXPECT_EQ(status(), "Receiver waiting for a firmware update");
    EXPECT_FALSE(s.link.connected()) << "the boot loader is the update's to open";
    s.receiver.faults().unopenable = true;
    EXPECT_EQ(status(), "No receiver connected") << "held by another program";
    EXPECT_TRUE(s.notifier.messages.empty());

    // A receiver that did not answer Get Version names no firmware; one this user may not open
    // says why it is not used.
    EXPECT_EQ(receiverStatusText(ReceiverState::Connected, false, VersionArea{}, Language::English),
              "Receiver connected");
    EXPECT_EQ(
        receiverStatusText(ReceiverState::NoPermission, false, VersionArea{}, Language::English),
        "Receiver found, but you may not open it (see Help)");
    EXPECT_EQ(receiverState(StartupFinding::AccessDenied), ReceiverState::NoPermission);
}

}  // namespace
}  // namespace tessik::test
