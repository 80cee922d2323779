#include <gtest/gtest.h>

#include <QLabel>

#include "app/C_Update.hpp"
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
}

}  // namespace
}  // namespace tessik::test
