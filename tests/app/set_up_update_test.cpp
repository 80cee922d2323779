// The Set Up Data and Firmware Update dialogs as the main window opens them, on the simulated
// receiver: what they show before, during and after a run, and which boxes end it. The
// sequences themselves are the core's and tested there.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include "app/C_Update.hpp"
#include "app/c_SetCode.hpp"
#include "app/m_About.hpp"
#include "app/support/main_window_fixture.hpp"
#include "core/text/strings.hpp"
#include "support/device_fixture.hpp"  // readable message boxes

namespace tessik::test {
namespace {

Message box(StringId id, MessageKind kind) {
    return Message{"", std::string(text(id, Language::English)), kind};
}

std::string shown(QDialog& d, const char* objectName) {
    return d.findChild<QLabel*>(objectName)->text().toStdString();
}

std::string logOf(QDialog& d) {
    return d.findChild<QPlainTextEdit*>("updateLog")->toPlainText().toStdString();
}

class Dialogs : public MainWindowTest {
  protected:
    void SetUp() override {
        sim::BootLoader::attach(plug(kProductIdNormal));
        openWindow();
        window->startUp();
        dialogs.clearShown();
    }
    // Runs the menu command with `act` on the dialog it opens.
    template <typename Dialog>
    void run(CommandId command, std::function<void(Dialog&)> act) {
        modal.whenOpens<Dialog>(act);
        const int before = modal.acted;
        window->action(command)->trigger();
        EXPECT_EQ(modal.acted, before + 1);
    }
};

TEST_F(Dialogs, setUpRunsTheBarToTheEndReportsTheOutcomeAndCanRunAgain) {
    startNew("TV");
    addCodes(3);
    // Set Ir Code, then slots 0 to 37 pass; slot 38 is refused.
    std::string error;
    ASSERT_TRUE(receiver->applyFault("nak-exchange=40", error)) << error;
    run<app::c_SetCode>(CommandId::SetUp, [&](app::c_SetCode& d) {
        auto* bar = d.findChild<QProgressBar*>("setUpProgress");
        EXPECT_EQ(std::tuple(bar->minimum(), bar->maximum(), bar->value()), std::tuple(0, 138, 0));

        click(d, "setButton");  // the link's own NAK box, then one "Failed" and no "Success"
        const Message failed = box(StringId::SetUpFailed, MessageKind::Warning);
        EXPECT_EQ(dialogs.shown.back().kind, failed.kind);
        EXPECT_THAT(dialogs.shown.back().text,
                    ::testing::StartsWith(failed.text + "\nSet Return Code, slot 38"));
        EXPECT_EQ(dialogs.shown.size(), 2u);
        EXPECT_EQ(bar->value(), 38);

        dialogs.clearShown();
        click(d, "setButton");
        EXPECT_EQ(dialogs.shown, std::vector{box(StringId::SetUpSucceeded, MessageKind::Notice)});
        EXPECT_EQ(bar->value(), 138);
        pressKey(&d, Qt::Key_Return);  // Enter ends the dialog
    });
}

TEST_F(Dialogs, updateWithTheSampleImageLogsEveryStepAndAboutShowsTheNewVersion) {
    dialogs.chooseNext(std::filesystem::path(TESSIK_SAMPLE_FIRMWARE));
    run<app::C_Update>(CommandId::FirmwareUpdate, [&](app::C_Update& d) {
        EXPECT_EQ(shown(d, "runningFirmwareText"),
                  "Current Firmware : \"IR receiver\" Ver 1.2.3 24/05/17 10:30");
        auto* update = d.findChild<QPushButton*>("updateButton");
        EXPECT_FALSE(update->isEnabled());

        click(d, "fileOpenButton");
        EXPECT_EQ(dialogs.fileRequests, std::vector{app::firmwareImageDialog()});
        EXPECT_EQ(shown(d, "pathText"), TESSIK_SAMPLE_FIRMWARE);
        EXPECT_EQ(shown(d, "imageFirmwareText"),
                  "Firmware : \"Tessik sample firmware\" Ver 1.3.0 25/01/20 09:15");
        ASSERT_TRUE(update->isEnabled());

        click(d, "updateButton");
        EXPECT_THAT(logOf(d), ::testing::StartsWith("Flash Unlock...OK\n"));
        EXPECT_THAT(logOf(d), ::testing::EndsWith("Firmware update succeeded.\n"));
        auto* bar = d.findChild<QProgressBar*>("updateProgress");
        EXPECT_EQ(bar->value(), bar->maximum());
        EXPECT_EQ(dialogs.shown,
                  std::vector{box(StringId::FirmwareUpdateSucceeded, MessageKind::Notice)});
        EXPECT_EQ(shown(d, "runningFirmwareText"),
                  "Current Firmware : \"Tessik sample firmware\" Ver 1.3.0 25/01/20 09:15");
        EXPECT_TRUE(update->isEnabled());
        d.accept();
    });
    EXPECT_EQ(window->findChild<QLabel*>("receiverStatus")->text(),
              "Receiver connected – firmware 1.3.0");
    run<app::m_About>(CommandId::About, [](app::m_About& d) {
        EXPECT_EQ(shown(d, "firmwareText"), "Firmware Ver 1.3.0");
        d.accept();
    });
}

TEST_F(Dialogs, aFailedUpdateEndsInItsLogLineAndBoxAndCanBeStartedAgain) {
    std::string error;
    ASSERT_TRUE(receiver->applyFault("corrupt-block=3", error)) << error;
    dialogs.chooseNext(std::filesystem::path(TESSIK_SAMPLE_FIRMWARE));
    dialogs.chooseNext(std::nullopt);
    run<app::C_Update>(CommandId::FirmwareUpdate, [&](app::C_Update& d) {
        auto* update = d.findChild<QPushButton*>("updateButton");
        click(d, "fileOpenButton");
        click(d, "updateButton");
        const std::string log = logOf(d);
        EXPECT_TRUE(log.ends_with(" NG")) << log;
        EXPECT_EQ(dialogs.shown,
                  std::vector{box(StringId::FirmwareUpdateFailed, MessageKind::Warning)});
        ASSERT_TRUE(update->isEnabled());

        click(d, "updateButton");  // the device waits in its boot loader now
        EXPECT_THAT(logOf(d), ::testing::StartsWith(log)) << "the log is never cleared";
        EXPECT_EQ(dialogs.shown.size(), 2u);

        click(d, "fileOpenButton");  // cancelled: nothing loaded any more
        EXPECT_EQ(shown(d, "imageFirmwareText"), "");
        EXPECT_FALSE(update->isEnabled());
        pressKey(&d, Qt::Key_Escape);
    });
}

}  // namespace
}  // namespace tessik::test
