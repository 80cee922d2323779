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
class Startup : public MainWindowTest {
  protected:
    // Runs `open`, which shows the version dialog, and returns the dialog's firmware line.
    QString firmwareShown(const std::function<void()>& open) {
        QString line;
        modal.whenOpens<app::m_About>([&line](app::m_About& d) {
            line = d.findChild<QLabel*>("firmwareText")->text();
            d.accept();
        });
        open();
        return line;
    }
};

TEST_F(Startup, aReceiverWaitingInItsBootLoaderGetsTheNoticeThenTheUpdateDialog) {
    plug(kProductIdUpdater);
    openWindow();
    modal.whenOpens<app::C_Update>([this](app::C_Update& d) {
        EXPECT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(d.findChild<QLabel*>("runningFirmwareText")->text().toStdString(),
                  kUpdateWaitingText);
        d.reject();
    });
    EXPECT_EQ(window->startUp(), StartupFinding::UpdateWaiting);
    EXPECT_EQ(modal.acted, 1);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].caption, "INFORMATION");
    EXPECT_EQ(dialogs.shown[1],
              (Message{"Error", std::string(kLinkNotConnectedText), MessageKind::Notice}));
}

// The version start-up reads is what the version dialog shows; About asks again, and the
// context-menu entry shows the last answer, even after unplugging.
TEST_F(Startup, aboutAsksAgainAndTheContextEntryShowsTheLastAnswerAfterUnplugging) {
    plug(kProductIdNormal);
    openWindow();
    EXPECT_EQ(window->startUp(), StartupFinding::Normal);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(window->versionArea(), receiver->versionHeader());
    EXPECT_EQ(firmwareShown([&] { window->versionAction()->trigger(); }), "Firmware Ver 1.2.3");
    EXPECT_EQ(receiver->exchangeCount(), 1u) << "the context-menu entry asks the receiver nothing";
    modal.whenOpens<app::m_About>([](app::m_About& d) {  // looks before firmwareShown closes it
        EXPECT_EQ(d.findChild<QLabel*>("descriptionText")->text(),
                  "Tessik infrared-remote-control setting tool ver 1.0.1.6");
        EXPECT_FALSE(d.findChild<QLabel*>("legalText")->text().isEmpty());
    });
    EXPECT_EQ(firmwareShown([&] { window->action(CommandId::About)->trigger(); }),
              "Firmware Ver 1.2.3");
    EXPECT_EQ(receiver->exchangeCount(), 2u) << "About asks again";

    receiver->unplug();
    EXPECT_EQ(firmwareShown([&] { window->ShowVersion(); }), "Firmware Ver 1.2.3");
    EXPECT_TRUE(dialogs.shown.empty());

    // Help > About without a receiver: the link's box, then the version dialog with zeros.
    EXPECT_EQ(firmwareShown([&] { window->About(); }), "Firmware Ver 0.0.0");
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown.front().caption, "Error");
}

}  // namespace
}  // namespace tessik::test
