// File > Guided Set-Up... with presses made in front of the simulated receiver: the pages
// follow the set-up, each taught button reaches the main list with its role's keys, Set Up
// Data from the end page makes the receiver type them, Test Buttons finds their rows, the whole
// run is one undo step, and Cancel leaves the table as it was. The rules are the core's
// (GuidedSetUp, CaptureSession).

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <fstream>

#include "app/ButtonTestDlg.hpp"
#include "app/GuidedSetUpDlg.hpp"
#include "app/c_SetCode.hpp"
#include "app/support/capture_dialog_fixture.hpp"
#include "core/ir/decoders.hpp"

namespace tessik::test {
namespace {

class GuidedSetUpTest : public CaptureDialog {
  protected:
    // One press of the NEC TV's `button`, then the dialog's polls until it has been read.
    void press(QDialog& d, std::string_view button) {
        CaptureDialog::press(d, sim::necTvRemote(), button);
    }

    static QString shown(app::GuidedSetUpDlg& d, const char* name) {
        return d.findChild<QLabel*>(name)->text();
    }

    // Names the remote, chooses the navigation layout and starts with all its roles.
    static void startNavigation(app::GuidedSetUpDlg& d) {
        d.findChild<QLineEdit*>("guidedName")->setText("Living room");
        auto* layouts = d.findChild<QComboBox*>("guidedLayout");
        layouts->setCurrentIndex(layouts->findText("Plain navigation"));
        EXPECT_EQ(d.findChild<QTreeWidget*>("guidedRoles")->topLevelItem(4)->text(1), "[ENTER]");
        click(d, "startButton");
    }
};

TEST_F(GuidedSetUpTest, teachesEachRoleWithItsKeysInOneUndoStepAndSetsUpTheReceiverAtTheEnd) {
    ASSERT_TRUE(window->findChild<QWidget*>("emptyTableOffer")->isVisible());
    modal.whenOpens<app::GuidedSetUpDlg>([&](app::GuidedSetUpDlg& d) {
        d.findChild<QLineEdit*>("guidedName")->clear();
        EXPECT_FALSE(d.findChild<QPushButton*>("startButton")->isEnabled()) << "no name";
        startNavigation(d);
        EXPECT_EQ(shown(d, "guidedPrompt"), "Press Up on your remote");
        EXPECT_EQ(shown(d, "guidedKeys"), "It will type: [UP]");
        EXPECT_FALSE(d.findChild<QPushButton*>("backButton")->isEnabled());
        press(d, "Up");
        press(d, "Up");
        EXPECT_EQ(rows(), 1) << "the taught button is in the list at once";
        EXPECT_EQ(shown(d, "guidedPrompt"), "Press Down on your remote");
        press(d, "Left");  // a wrong button, taught and then taken back
        press(d, "Left");
        click(d, "backButton");
        EXPECT_EQ(std::tuple(rows(), shown(d, "guidedPrompt")),
                  std::tuple(1, QString("Press Down on your remote")));
        press(d, "Down");
        press(d, "Down");
        click(d, "skipButton");  // Left
        click(d, "skipButton");  // Right
        press(d, "OK");
        press(d, "OK");
        press(d, "Up");  // taught already: refused, naming its row
        ASSERT_FALSE(dialogs.shown.empty());
        EXPECT_NE(dialogs.shown.back().text.find("already"), std::string::npos);
        click(d, "skipRestButton");

        auto* table = d.findChild<QTreeWidget*>("guidedTable");
        EXPECT_EQ(table->topLevelItem(4)->text(1), "No 3");
        EXPECT_EQ(table->topLevelItem(3)->text(1), "skipped");
        EXPECT_NE(shown(d, "guidedTolerance").indexOf("Overlap limit"), -1);
        modal.whenOpens<app::c_SetCode>([](app::c_SetCode& setUp) {
            setUp.Set();
            setUp.reject();
        });
        click(d, "setUpDataButton");
        modal.whenOpens<app::ButtonTestDlg>([&](app::ButtonTestDlg& test) {
            EXPECT_EQ(test.parentWidget(), &d) << "over the set-up, which it must not let finish";
            press(test, "Down");
            EXPECT_EQ(test.findChild<QListWidget*>("testLines")->item(0)->text(),
                      "No 2 Down: types [DOWN]");
            click(test, "closeButton");
        });
        click(d, "testButtonsButton");
        click(d, "finishButton");
    });
    const int before = modal.acted;
    window->action(CommandId::GuidedSetUp)->trigger();
    EXPECT_EQ(modal.acted, before + 3);
    ASSERT_EQ(rows(), 3);
    EXPECT_EQ(rowTexts(1), (QStringList{"2", "0x7A7A85854242BDBD", "[DOWN]", "Down"}));
    EXPECT_EQ(window->findChild<QLabel*>("nameText")->text(), "Living room");
    EXPECT_FALSE(window->findChild<QWidget*>("emptyTableOffer")->isVisible());

    // The receiver types the keys once Set Up Data has written them.
    const sim::PressResult typed = reception->press(sim::necTvRemote(), "OK");
    ASSERT_EQ(typed.heard, sim::Heard::Typed);
    EXPECT_EQ(typed.keys.front().usage, 0x28);

    QAction* undo = window->action(CommandId::Undo);
    EXPECT_EQ(undo->text(), "&Undo Guided Set-Up");
    undo->trigger();
    EXPECT_EQ(std::tuple(rows(), window->model().shownName()),
              std::tuple(0, std::u16string(u"TV")));
}

// A user's layout file that is not valid is told with its line; the others are offered. A
// first row of another length is captured again when the refusal offers it, keeping its
// comment, before the step's own button. A receiver that leaves stops the step's polls.
TEST_F(GuidedSetUpTest, cancelTakesEveryTaughtButtonBackAndLeavesTheTableAsItWas) {
    std::filesystem::create_directories(dir.path() / "layouts");
    std::ofstream(dir.path() / "layouts" / "mine.json") << "{\n  \"name\": \"Mine\"\n}\n";
    const sim::IrSignal sirc = *sim::sircTvRemote().signal("Mute");
    window->model().AddCode(decodeCapture(sirc.low, sirc.high), u"Quiet");
    const RemoteTables before = window->model().tables();
    modal.whenOpens<app::GuidedSetUpDlg>([&](app::GuidedSetUpDlg& d) {
        EXPECT_TRUE(d.findChild<QLabel*>("guidedRefusedLayouts")
                        ->text()
                        .endsWith("mine.json: line 2: \"name\" needs an \"en\" and a \"ja\" text"));
        EXPECT_EQ(d.findChild<QLineEdit*>("guidedName")->text(), "TV");
        EXPECT_EQ(d.findChild<QComboBox*>("guidedLayout")->currentText(), "Media centre (Kodi)");
        click(d, "noRolesButton");
        EXPECT_FALSE(d.findChild<QPushButton*>("startButton")->isEnabled()) << "no role";
        auto* roles = d.findChild<QTreeWidget*>("guidedRoles");
        for (int role : {0, 1})
            roles->topLevelItem(role)->setCheckState(0, Qt::Checked);
        click(d, "startButton");
        dialogs.answer(Answer::Action);
        press(d, "Power");
        ASSERT_FALSE(dialogs.shown.empty());
        EXPECT_EQ(dialogs.shown.back().action, "&Re-capture No 1");
        EXPECT_EQ(
            std::tuple(shown(d, "guidedPrompt"), shown(d, "guidedKeys")),
            std::tuple(QString("Please push the remote control button for No 1."), QString()));
        press(d, "Mute");
        press(d, "Mute");
        EXPECT_EQ(rowTexts(0).mid(1), (QStringList{"0x7A7A858578788787", "", "Quiet"}));
        EXPECT_TRUE(shown(d, "guidedPrompt").startsWith("Press Power")) << "the step's own";
        press(d, "Power");
        press(d, "Power");
        EXPECT_EQ(rows(), 2);
        receiver->unplug();
        window->checkDevices();
        EXPECT_FALSE(d.setUp().session()->polling()) << "the receiver left";
        click(d, "cancelButton");
    });
    window->StartGuidedSetUp();
    EXPECT_EQ(window->model().tables(), before);
    EXPECT_EQ(window->action(CommandId::Undo)->text(), "&Undo Capture No 1");
}

}  // namespace
}  // namespace tessik::test
