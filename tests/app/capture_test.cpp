// The Ir Data Capture dialog as Edit > Capture Ir Data opens it, with presses made in front of
// the simulated receiver: its texts follow the session, stored codes reach the main list at
// once, refusals are boxes of the dialog service. The capture rules are the core's and tested
// there.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/ButtonTestDlg.hpp"
#include "app/QtText.hpp"
#include "app/SignalView.hpp"
#include "app/VirtualRemoteWindow.hpp"
#include "app/support/capture_dialog_fixture.hpp"
#include "core/ir/decoders.hpp"
#include "core/text/strings.hpp"
#include "support/device_fixture.hpp"  // readable message boxes

namespace tessik::test {
namespace {

std::string shown(QDialog& d, const char* objectName) {
    return d.findChild<QLabel*>(objectName)->text().toStdString();
}

std::string english(StringId id) {
    return std::string(text(id, Language::English));
}

TEST_F(CaptureDialog, twoPressesConfirmAndNextStoresWithTheComment) {
    const sim::VirtualRemote& tv = sim::necTvRemote();
    window->model().setJitter(5);  // the noisy presses vary more than that
    capture([&](app::Capture_w& d) {
        auto* next = d.findChild<QPushButton*>("nextButton");
        auto* comment = d.findChild<QLineEdit*>("captureComment");
        auto* analysis = d.findChild<QLabel*>("captureAnalysis");
        auto* warning = d.findChild<QLabel*>("captureWarning");
        auto* signal = d.findChild<app::SignalView*>("signalView");
        EXPECT_EQ(shown(d, "capturePrompt"), english(StringId::CapturePrompt));
        EXPECT_FALSE(next->isEnabled());
        EXPECT_FALSE(analysis->isVisibleTo(&d));

        press(d, tv, "Power", sim::TimingNoise{8.0, 1});
        EXPECT_EQ(shown(d, "capturePrompt"), english(StringId::SecondPressPrompt));
        EXPECT_EQ(signal->traces().size(), 1u) << "the last press";
        press(d, tv, "Power", sim::TimingNoise{8.0, 2});
        EXPECT_EQ(shown(d, "capturePrompt"), english(StringId::ReadingCompleted));
        EXPECT_EQ(signal->traces(), d.session().presses()) << "both presses";
        EXPECT_EQ(shown(d, "captureResult"), "0x7A7A85851010EFEF");
        EXPECT_TRUE(shown(d, "captureAnalysis").starts_with("NEC, address 0x5E, command 0x08"));
        EXPECT_TRUE(analysis->isVisibleTo(&d));
        EXPECT_TRUE(warning->isVisibleTo(&d)) << "the presses vary beyond the jitter";
        ASSERT_TRUE(next->isEnabled());

        pressKey(&d, Qt::Key_Return);  // Enter neither stores nor closes
        EXPECT_TRUE(d.isVisible());
        comment->setText("power");
        click(d, "nextButton");
        EXPECT_EQ(rows(), 1) << "the stored code is in the list while the dialog is open";
        EXPECT_EQ(rowTexts(0).last(), "power");
        EXPECT_FALSE(next->isEnabled());
        EXPECT_FALSE(warning->isVisibleTo(&d));

        pressKey(&d, Qt::Key_Escape);
    });
}

// The main window hands a receiver that left to the open capture, which ends with one box of
// the service and a prompt that no longer asks for a press.
TEST_F(CaptureDialog, aReceiverThatLeavesEndsTheOpenCaptureWithOneBoxAndNoStalePrompt) {
    capture([&](app::Capture_w& d) {
        receiver->unplug();
        window->checkDevices();
        EXPECT_EQ(dialogs.shown.size(), 1u);
        EXPECT_FALSE(d.findChild<QTimer*>()->isActive()) << "no more polls";
        EXPECT_EQ(shown(d, "capturePrompt"), d.session().prompt());
        EXPECT_NE(shown(d, "capturePrompt"), english(StringId::CapturePrompt));
        click(d, "closeButton");
    });
    EXPECT_EQ(dialogs.shown.size(), 1u) << "Close has nothing to tell a receiver that is gone";
}

// The program's own simulated receiver: its Virtual Remote, reached from the Setup menu, stays
// usable while the capture dialog is open, and its clicks are the presses the dialog sees.
TEST_F(CaptureDialog, theVirtualRemoteOfTheSimulatedReceiverPressesWhileCapturing) {
    EXPECT_EQ(window->action(CommandId::VirtualRemote), nullptr) << "no simulator";
    TempDir folder;
    app::DeviceOptions options;
    options.simulate = true;
    options.simStateFile = folder.path() / "state";
    options.clock = &clock;  // its presses arrive on the polls' time
    window = std::make_unique<app::CTessikDlg>(dialogs, options, Language::English);
    window->show();
    startNew("TV");
    window->action(CommandId::VirtualRemote)->trigger();
    QWidget* remote = window->virtualRemote();
    ASSERT_NE(remote, nullptr);
    EXPECT_TRUE(remote->isVisible());

    capture([&](app::Capture_w& d) {
        EXPECT_EQ(d.windowModality(), Qt::WindowModal) << "the remote must stay usable";
        for (int n = 0; n < 2; ++n) {
            remote->findChild<QPushButton*>("NEC TV:Power")->click();
            poll(d);
        }
        EXPECT_EQ(shown(d, "capturePrompt"), english(StringId::ReadingCompleted));
        click(d, "closeButton");
    });
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(remote->findChild<QPlainTextEdit*>()->toPlainText(),
              "NEC TV Power: captured, 34 entries\nNEC TV Power: captured, 34 entries");
}

// Row 1 came from another remote: the length refusal offers to capture it again, the new code
// replaces the old one and keeps the row's keys, and Undo brings the old code back. Edit >
// Re-capture opens the same dialog for the selected row.
TEST_F(CaptureDialog, rowOneIsCapturedAgainFromTheLengthRefusalAndUndoneInOneStep) {
    const sim::IrSignal vol = *sim::sircTvRemote().signal("Vol+");
    window->model().AddCode(decodeCapture(vol.low, vol.high), u"power");
    window->model().storeButtonKeys(0, {{0x66}, 1, u"[POWER]", u"power"});
    const QStringList before = rowTexts(0);
    dialogs.answer(Answer::Action);
    capture([&](app::Capture_w& d) {
        press(d, sim::necTvRemote(), "Power");
        EXPECT_EQ(dialogs.shown.back().action, "&Re-capture No 1");
        EXPECT_EQ(shown(d, "capturePrompt"), "Please push the remote control button for No 1.");
        press(d, sim::necTvRemote(), "Power");
        press(d, sim::necTvRemote(), "Power");
        click(d, "nextButton");
        click(d, "closeButton");
    });
    EXPECT_EQ(rowTexts(0), (QStringList{"1", "0x7A7A85851010EFEF", "[POWER]", "power"}));
    window->action(CommandId::Undo)->trigger();
    EXPECT_EQ(rowTexts(0), before);

    list()->setCurrentItem(list()->topLevelItem(0));
    modal.whenOpens<app::Capture_w>([&](app::Capture_w& d) {
        EXPECT_EQ(d.session().recapturing(), std::optional<std::size_t>(0));
        pressKey(&d, Qt::Key_Escape);
    });
    window->action(CommandId::Recapture)->trigger();
    EXPECT_FALSE(receiver->captureMode());
}

// Test Buttons: the receiver listens in capture mode, so a press types nothing; the row of the
// pressed button is selected and a line tells what it types. Escape leaves capture mode.
TEST_F(CaptureDialog, testButtonsSelectsTheRowOfEachPressAndTheReceiverTypesNothing) {
    for (const char* button : {"Power", "Mute", "OK"}) {
        const sim::IrSignal s = *sim::necTvRemote().signal(button);
        window->model().AddCode(decodeCapture(s.low, s.high), app::qs(button).toStdU16String());
    }
    window->model().storeButtonKeys(1, {{0x7F}, 1, u"[MUTE]", u"Mute"});
    list()->setCurrentItem(list()->topLevelItem(0));
    modal.whenOpens<app::ButtonTestDlg>([&](app::ButtonTestDlg& d) {
        EXPECT_TRUE(receiver->captureMode());
        press(d, sim::necTvRemote(), "Mute");
        auto* lines = d.findChild<QListWidget*>("testLines");
        ASSERT_EQ(lines->count(), 1);
        EXPECT_EQ(lines->item(0)->text(), "No 2 Mute: types [MUTE]");
        EXPECT_EQ(list()->currentItem(), list()->topLevelItem(1));
        EXPECT_TRUE(reception->typed().empty());
        pressKey(&d, Qt::Key_Escape);
    });
    window->action(CommandId::TestButtons)->trigger();
    EXPECT_FALSE(receiver->captureMode());

    // A receiver that leaves ends the test with one box; Close sends nothing more.
    modal.whenOpens<app::ButtonTestDlg>([&](app::ButtonTestDlg& d) {
        receiver->unplug();
        window->checkDevices();
        EXPECT_FALSE(d.session().polling());
        click(d, "closeButton");
    });
    dialogs.clearShown();
    window->action(CommandId::TestButtons)->trigger();
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

}  // namespace
}  // namespace tessik::test
