#include <gtest/gtest.h>

#include <QLabel>

#include <QPushButton>

#include "app/C_Update.hpp"
#include "app/VirtualRemoteWindow.hpp"
#include "app/m_About.hpp"
#include "app/support/main_window_fixture.hpp"
#include "core/device/usbhidioc.hpp"

namespace tessik::test {
namespace {

// Which receiver start-up finds and which boxes it shows are the start-up search's, tested
// with every identity in the core; here, what the window does with the finding.
using Startup = MainWindowTest;

TEST_F(Startup, aReceiverWaitingInItsBootLoaderGetsTheNoticeThenTheUpdateDialog) {
    plug(kProductIdUpdater);
    openWindow();
    modal.whenOpens<app::C_Update>([](app::C_Update& d) {
        EXPECT_EQ(d.findChild<QLabel*>("runningFirmwareText")->text().toStdString(),
                  kUpdateWaitingText);
        d.reject();
    });
    EXPECT_EQ(window->startUp(), StartupFinding::UpdateWaiting);
    EXPECT_EQ(modal.acted, 1);
}

// The version start-up reads is what the version dialog shows; About asks again, and the
// context-menu entry shows the last answer.
TEST_F(Startup, aboutAsksAgainAndTheContextEntryShowsTheLastAnswer) {
    // Runs `open`, which shows the version dialog, and returns the dialog's firmware line.
    const auto firmwareShown = [this](const std::function<void()>& open) {
        QString line;
        modal.whenOpens<app::m_About>([&line](app::m_About& d) {
            line = d.findChild<QLabel*>("firmwareText")->text();
            d.accept();
        });
        open();
        return line;
    };
    plug(kProductIdNormal);
    openWindow();
    EXPECT_EQ(window->startUp(), StartupFinding::Normal);
    EXPECT_EQ(window->versionArea(), receiver->versionHeader());
    EXPECT_EQ(firmwareShown([&] { window->versionAction()->trigger(); }), "Firmware Ver 1.2.3");
    EXPECT_EQ(receiver->exchangeCount(), 1u) << "the context-menu entry asks the receiver nothing";
    EXPECT_EQ(firmwareShown([&] { window->action(CommandId::About)->trigger(); }),
              "Firmware Ver 1.2.3");
    EXPECT_EQ(receiver->exchangeCount(), 2u) << "About asks again";

    // Help > About without a receiver: the link's box, then the version dialog with zeros.
    receiver->unplug();
    EXPECT_EQ(firmwareShown([&] { window->About(); }), "Firmware Ver 0.0.0");
    EXPECT_EQ(dialogs.shown.at(0).caption, "Error");

    // Plugged in again, a new firmware: read when it arrives, shown without asking again.
    plug(kProductIdNormal, {1, 4, 2});
    openWindow();
    window->startUp();
    receiver->unplug();
    window->checkDevices();
    receiver->plug();
    window->checkDevices();
    EXPECT_EQ(firmwareShown([&] { window->versionAction()->trigger(); }), "Firmware Ver 1.4.2");
}

// The status line follows the simulated receiver as the Virtual Remote pulls it out and plugs
// it in again, without a click in the main window; the texts and the search are the core's.
TEST_F(Startup, theStatusLineFollowsTheReceiverAsTheVirtualRemoteUnplugsAndPlugsItIn) {
    plug(kProductIdNormal);
    openWindow(Language::English, true);
    window->startUp();
    auto* status = window->findChild<QLabel*>("receiverStatus");
    EXPECT_EQ(status->text(), "Simulated receiver – firmware 1.2.3");
    window->ShowVirtualRemote();
    auto* plugButton = window->virtualRemote()->findChild<QPushButton*>("plugButton");
    EXPECT_EQ(plugButton->text(), "Unplug");
    plugButton->click();
    window->checkDevices();
    EXPECT_EQ(std::tuple(status->text(), plugButton->text()),
              std::tuple(QString("No receiver connected"), QString("Plug in")));
    plugButton->click();
    window->checkDevices();
    EXPECT_EQ(status->text(), "Simulated receiver – firmware 1.2.3");
    EXPECT_TRUE(dialogs.shown.empty()) << "nothing is asked or told";
}

// With nothing plugged in, the update dialog says so rather than that a device waits.
TEST_F(Startup, theFirmwareUpdateWithNothingConnectedSaysNoDeviceIsConnected) {
    openWindow();
    window->startUp();
    modal.whenOpens<app::C_Update>([](app::C_Update& d) {
        EXPECT_EQ(d.findChild<QLabel*>("runningFirmwareText")->text(),
                  "The device is not connected.");
        d.reject();
    });
    window->FirmwareUpdate();
    EXPECT_EQ(modal.acted, 1);
}

}  // namespace
}  // namespace tessik::test
