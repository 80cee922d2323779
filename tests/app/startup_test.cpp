#include <gtest/gtest.h>

#include <QLabel>

#include "app/C_Update.hpp"
#include "app/m_About.hpp"
#include "app/support/main_window_fixture.hpp"
#include "core/bytes/byte_io.hpp"
#include "core/device/usbhidioc.hpp"

namespace tessik::test {
namespace {

const Message kLinkNotConnected{"Error", std::string(kLinkNotConnectedText), MessageKind::Notice};

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

TEST_F(Startup, findsTheReceiverByItsProductIdsTellsWhatItFoundAndOpensUsable) {
    const Message updateWaiting{
        "INFORMATION",
        "There is a device firmware update waiting state. \nRun the firmware updates.",
        MessageKind::Notice};
    const Message notConnected{"Error", "The device is not connected.", MessageKind::Notice};
    const struct {
        std::optional<std::uint16_t> plugged;
        StartupFinding finding;
        std::vector<Message> shown;  // the second box: Get Version finds no normal-mode receiver
        std::array<std::uint8_t, 3> firmware;
        std::uint16_t vid, pid;  // the version area's, which the firmware update tries first
    } cases[] = {
        {kProductIdNormal, StartupFinding::Normal, {}, {1, 2, 3}, kVendorId, kProductIdNormal},
        {kProductIdAlternate,
         StartupFinding::Alternate,
         {},
         {2, 0, 7},
         kVendorId,
         kProductIdAlternate},
        {kProductIdUpdater,
         StartupFinding::UpdateWaiting,
         {updateWaiting, kLinkNotConnected},
         {0, 0, 0},
         kVendorId,
         kProductIdUpdater},
        {std::nullopt,
         StartupFinding::NotFound,
         {notConnected, kLinkNotConnected},
         {0, 0, 0},
         0,
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.finding));
        if (c.plugged) {
            plug(*c.plugged, c.firmware);
        } else {
            plug(kProductIdNormal).unplug();
        }
        dialogs.clearShown();
        openWindow();
        const int actedBefore = modal.acted;
        if (c.finding == StartupFinding::UpdateWaiting) {
            // After the notice, the firmware update dialog, then the window as always.
            modal.whenOpens<app::C_Update>([this](app::C_Update& d) {
                EXPECT_EQ(dialogs.shown.size(), 1u);
                EXPECT_EQ(d.findChild<QLabel*>("runningFirmwareText")->text().toStdString(),
                          kUpdateWaitingText);
                d.reject();
            });
        }
        EXPECT_EQ(window->startUp(), c.finding);
        EXPECT_EQ(modal.acted - actedBefore, c.finding == StartupFinding::UpdateWaiting ? 1 : 0);
        EXPECT_EQ(dialogs.shown, c.shown);
        EXPECT_EQ(receiver->exchangeCount(), c.shown.empty() ? 1u : 0u) << "Get Version only";
        const ByteReader area(window->versionArea());
        EXPECT_EQ((std::array{area.u8(50), area.u8(51), area.u8(52)}), c.firmware);
        EXPECT_EQ(area.u16(76), c.vid);
        EXPECT_EQ(area.u16(78), c.pid);
        EXPECT_EQ(window->device().link().productId, kProductIdNormal);
        EXPECT_EQ(rows(), 0);
        EXPECT_EQ(menuStates(*window), CommandStates{});
        startNew("TV");
        EXPECT_TRUE(menuStates(*window).capture);
    }
}

TEST_F(Startup, aboutAsksAgainAndTheContextEntryShowsTheLastAnswerAfterUnplugging) {
    plug(kProductIdNormal, {1, 2, 3});
    openWindow();
    window->startUp();
    EXPECT_EQ(firmwareShown([&] { window->versionAction()->trigger(); }), "Firmware Ver 1.2.3");
    EXPECT_EQ(receiver->exchangeCount(), 1u) << "the context-menu entry asks the receiver nothing";
    VersionArea updated = receiver->versionHeader();  // updated behind the tool's back
    std::ranges::copy(std::array<std::uint8_t, 3>{3, 4, 5}, updated.begin() + 50);
    receiver->setVersionHeader(updated);
    modal.whenOpens<app::m_About>([](app::m_About& d) {  // looks before firmwareShown closes it
        EXPECT_EQ(d.windowTitle(), "Software Version");
        EXPECT_EQ(d.findChild<QLabel*>("descriptionText")->text(),
                  "Tessik infrared-remote-control setting tool ver 1.0.1.6");
        EXPECT_FALSE(d.findChild<QLabel*>("legalText")->text().isEmpty());
    });
    EXPECT_EQ(firmwareShown([&] { window->action(CommandId::About)->trigger(); }),
              "Firmware Ver 3.4.5");
    EXPECT_EQ(receiver->exchangeCount(), 2u);

    receiver->unplug();
    EXPECT_EQ(firmwareShown([&] { window->ShowVersion(); }), "Firmware Ver 3.4.5");
    EXPECT_TRUE(dialogs.shown.empty());

    // Help > About without a receiver: the link's box, then the version dialog with zeros.
    EXPECT_EQ(firmwareShown([&] { window->About(); }), "Firmware Ver 0.0.0");
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown.front().caption, "Error");
}

}  // namespace
}  // namespace tessik::test
