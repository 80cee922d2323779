#include <gtest/gtest.h>

#include <QLabel>

#include "app/m_About.hpp"
#include "app/support/main_window_fixture.hpp"
#include "core/device/usbhidioc.hpp"

namespace tessik::test {
namespace {

const Message kLinkNotConnected{"Error", std::string(kLinkNotConnectedText), MessageKind::Notice};

// Shows the version dialog and returns its firmware line.
QString firmwareShown(ModalDriver& modal, const std::function<void()>& open) {
    QString line;
    modal.whenOpens<app::m_About>([&line](app::m_About& d) {
        line = d.findChild<QLabel*>("firmwareText")->text();
        d.accept();
    });
    open();
    return line;
}

TEST_F(MainWindowTest, startUpWithAReceiverShowsNothingAndReadsItsFirmwareVersion) {
    bus.plug(kProductIdNormal, {1, 2, 3});
    openWindow();
    EXPECT_EQ(window->startUp(), StartupFinding::Normal);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(bus.versionRequests(), 1);
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(menuStates(*window), CommandStates{});
    EXPECT_EQ(firmwareShown(modal, [&] { window->versionAction()->trigger(); }),
              "Firmware Ver 1.2.3");
    EXPECT_EQ(bus.versionRequests(), 1) << "the context-menu entry asks the receiver nothing";
}

TEST_F(MainWindowTest, startUpAcceptsTheAlternateProductId) {
    bus.plug(kProductIdAlternate, {2, 0, 7});
    openWindow();
    EXPECT_EQ(window->startUp(), StartupFinding::Alternate);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(window->versionArea()[50], 2);
    EXPECT_EQ(window->versionArea()[52], 7);
}

TEST_F(MainWindowTest, startUpWithAReceiverWaitingForAnUpdateTellsTheUser) {
    bus.plug(kProductIdUpdater);
    openWindow();
    EXPECT_EQ(window->startUp(), StartupFinding::UpdateWaiting);
    const std::vector<Message> expected = {
        {"INFORMATION",
         "There is a device firmware update waiting state. \nRun the firmware updates.",
         MessageKind::Notice},
        kLinkNotConnected,  // Get Version looks for a normal-mode receiver and finds none
    };
    EXPECT_EQ(dialogs.shown, expected);
    // The boot loader's identity is kept for the firmware update.
    EXPECT_EQ(ByteReader(window->versionArea()).u16(76), kVendorId);
    EXPECT_EQ(ByteReader(window->versionArea()).u16(78), kProductIdUpdater);
    EXPECT_EQ(window->device().link().productId, kProductIdNormal);
}

TEST_F(MainWindowTest, startUpWithoutAReceiverSaysSoTwiceAndTheWindowStaysUsable) {
    openWindow();
    EXPECT_EQ(window->startUp(), StartupFinding::NotFound);
    const std::vector<Message> expected = {
        {"Error", "The device is not connected.", MessageKind::Notice},
        kLinkNotConnected,
    };
    EXPECT_EQ(dialogs.shown, expected);
    EXPECT_EQ(menuStates(*window), CommandStates{});
    startNew("TV");
    EXPECT_TRUE(menuStates(*window).capture);
}

TEST_F(MainWindowTest, startUpMessagesFollowTheJapaneseUi) {
    openWindow(Language::Japanese);
    window->startUp();
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0],
              (Message{"Error", "デバイスが接続されていません", MessageKind::Notice}));
}

TEST_F(MainWindowTest, aboutAsksAgainAndTheContextEntryShowsTheLastAnswerAfterUnplugging) {
    const std::size_t r = bus.plug(kProductIdNormal, {1, 2, 3});
    openWindow();
    window->startUp();
    bus.setFirmware(r, {3, 4, 5});  // updated meanwhile
    EXPECT_EQ(firmwareShown(modal, [&] { window->action(CommandId::About)->trigger(); }),
              "Firmware Ver 3.4.5");
    EXPECT_EQ(bus.versionRequests(), 2);

    bus.unplugAll();
    EXPECT_EQ(firmwareShown(modal, [&] { window->ShowVersion(); }), "Firmware Ver 3.4.5");
    EXPECT_TRUE(dialogs.shown.empty());

    // Help > About without a receiver: the link's box, then the version dialog with zeros.
    EXPECT_EQ(firmwareShown(modal, [&] { window->About(); }), "Firmware Ver 0.0.0");
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown.front().caption, "Error");
}

TEST_F(MainWindowTest, versionDialogShowsDescriptionVersionAndLegalNotice) {
    openWindow();
    modal.whenOpens<app::m_About>([](app::m_About& d) {
        EXPECT_EQ(d.windowTitle(), "Software Version");
        EXPECT_EQ(d.findChild<QLabel*>("descriptionText")->text(),
                  "Tessik infrared-remote-control setting tool ver 1.0.1.6");
        EXPECT_FALSE(d.findChild<QLabel*>("legalText")->text().isEmpty());
        d.accept();
    });
    window->ShowVersion();
    EXPECT_EQ(modal.acted, 1);
}

}  // namespace
}  // namespace tessik::test
