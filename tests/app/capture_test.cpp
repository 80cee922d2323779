// The Ir Data Capture dialog as Edit > Capture Ir Data opens it, with presses made in front of
// the simulated receiver: its texts follow the session, stored codes reach the main list at
// once, refusals are boxes of the dialog service. The capture rules are the core's and tested
// there.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/SignalView.hpp"
#include "app/VirtualRemoteWindow.hpp"
#include "app/support/capture_dialog_fixture.hpp"
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
            poll(d, [] { return true; });
        }
        EXPECT_EQ(shown(d, "capturePrompt"), english(StringId::ReadingCompleted));
        click(d, "closeButton");
    });
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(remote->findChild<QPlainTextEdit*>()->toPlainText(),
              "NEC TV Power: captured, 34 entries\nNEC TV Power: captured, 34 entries");
}

}  // namespace
}  // namespace tessik::test
