// The device search when the main window opens, against receivers of each identity.

#include <gtest/gtest.h>

#include "core/procedures/startup.hpp"
#include "core/text/strings.hpp"
#include "support/device_fixture.hpp"

namespace tessik::test {
namespace {

struct Startup : DeviceRig {
    using DeviceRig::DeviceRig;
    StartupFinding run(Language language = Language::English) {
        area.fill(0xAA);  // start-up zeroes it first
        return runStartup(link, commands, notifier, area, language, [this] { ++updates; });
    }
    VersionArea area{};
    int updates = 0;
};

TEST(StartupSearch, normalAndAlternateDevicesAreFoundQuietlyAndAskedForTheirVersion) {
    for (const auto& [pid, finding] : {std::pair{kProductIdNormal, StartupFinding::Normal},
                                       std::pair{kProductIdAlternate, StartupFinding::Alternate}}) {
        Startup s({.productId = pid});
        EXPECT_EQ(s.run(), finding);
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
    EXPECT_EQ(s.run(), StartupFinding::UpdateWaiting);
    EXPECT_EQ(s.updates, 1);
    // 148 as a notice, then Get Version looks for 0x0021 and finds nothing.
    EXPECT_EQ(s.notifier.messages,
              (std::vector<Message>{
                  {"INFORMATION", std::string(text(StringId::UpdateWaiting, Language::English)),
                   MessageKind::Notice},
                  errorBox(kLinkNotConnectedText)}));
    VersionArea expected{};
    expected[76] = 0xF7;
    expected[77] = 0x07;
    expected[78] = 0x18;
    EXPECT_EQ(s.area, expected);
    EXPECT_EQ(s.link.productId, kProductIdNormal);
    EXPECT_EQ(s.log.lines, std::vector<std::string>{"USB Send Error"});
}

TEST(StartupSearch, noDeviceSaysSoInTheInterfaceLanguageThenTheLinksJapaneseText) {
    for (const Language language : {Language::English, Language::Japanese}) {
        Startup s;
        s.receiver.faults().absent = true;
        EXPECT_EQ(s.run(language), StartupFinding::NotFound);
        EXPECT_EQ(s.notifier.messages,
                  (std::vector<Message>{errorBox(text(StringId::DeviceNotConnected, language)),
                                        errorBox(kLinkNotConnectedText)}));
        EXPECT_EQ(s.area, VersionArea{});
        EXPECT_EQ(s.updates, 0);

        // Plugged in later: used without a restart.
        s.receiver.faults().absent = false;
        VersionArea again{};
        EXPECT_TRUE(s.commands.GetVersion(again));
        EXPECT_EQ(again, s.receiver.versionHeader());
    }
}

}  // namespace
}  // namespace tessik::test
