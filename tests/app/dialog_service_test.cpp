#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

#include "app/CTessikApp.hpp"
#include "app/QtDialogService.hpp"
#include "app/support/widget_driver.hpp"

namespace tessik::test {
namespace {

struct BoxSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
};

// Shows `message` through the Qt service, records the box and presses its `press` button.
Answer showAndPress(const Message& message, QMessageBox::StandardButton press, BoxSeen& seen) {
    ModalDriver modal;
    modal.whenOpens<QMessageBox>([&](QMessageBox& box) {
        seen.title = box.windowTitle();
        seen.text = box.text();
        seen.icon = box.icon();
        for (QAbstractButton* b : box.buttons())
            seen.buttons << b->text();
        box.button(press)->click();
    });
    app::QtDialogService service;
    const Answer a = service.show(message);
    EXPECT_EQ(modal.acted, 1);
    return a;
}

TEST(QtDialogService, questionsHaveOkAndCancelAndTheApplicationTitle) {
    BoxSeen seen;
    EXPECT_EQ(showAndPress(Message{{}, "Does it overwrite? ", MessageKind::Question},
                           QMessageBox::Cancel, seen),
              Answer::Cancel);
    EXPECT_EQ(seen.title, QCoreApplication::applicationName());
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons.size(), 2);

    BoxSeen again;
    EXPECT_EQ(showAndPress(Message{{}, "Does it overwrite? ", MessageKind::Question},
                           QMessageBox::Ok, again),
              Answer::Ok);
}

TEST(QtDialogService, warningsAndNoticesHaveOneButtonAndKeepAFixedCaption) {
    BoxSeen warning;
    showAndPress(Message{{}, "The file has broken.", MessageKind::Warning}, QMessageBox::Ok,
                 warning);
    EXPECT_EQ(warning.icon, QMessageBox::Warning);
    EXPECT_EQ(warning.buttons.size(), 1);

    BoxSeen notice;
    showAndPress(Message{"INFORMATION", "waiting", MessageKind::Notice}, QMessageBox::Ok, notice);
    EXPECT_EQ(notice.title, "INFORMATION");
    EXPECT_EQ(notice.icon, QMessageBox::Information);
}

TEST(QtTranslations, japaneseUiGetsQtsOwnButtonTextsInJapanese) {
    EXPECT_EQ(app::CTessikApp::installQtTranslations(Language::English), nullptr);
    QTranslator* translator = app::CTessikApp::installQtTranslations(Language::Japanese);
    ASSERT_NE(translator, nullptr) << "qtbase_ja from qt6-translations-l10n";

    BoxSeen seen;
    showAndPress(Message{{}, "?", MessageKind::Question}, QMessageBox::Ok, seen);
    EXPECT_TRUE(seen.buttons.contains(QString::fromUtf8("キャンセル")))
        << seen.buttons.join(", ").toStdString();

    QCoreApplication::removeTranslator(translator);
    delete translator;
}

TEST(DisplayHint, saysHowToRunWithoutADisplayAndNothingOtherwise) {
    const auto hint = app::missingDisplayHint(nullptr, "", nullptr);
    ASSERT_TRUE(hint.has_value());
    EXPECT_NE(hint->find("xvfb-run"), std::string::npos);
    EXPECT_FALSE(app::missingDisplayHint(":0", nullptr, nullptr));
    EXPECT_FALSE(app::missingDisplayHint(nullptr, "wayland-0", nullptr));
    EXPECT_FALSE(app::missingDisplayHint(nullptr, nullptr, "offscreen"));
}

TEST(DeviceOptions, simulateKeepsTheReceiverStateInTheUsersDataFolder) {
    QStandardPaths::setTestModeEnabled(true);
    const app::DeviceOptions simulated = app::CTessikApp::deviceOptions(true);
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QStandardPaths::setTestModeEnabled(false);
    EXPECT_TRUE(simulated.simulate);
    EXPECT_EQ(simulated.simulatorStateFile.parent_path(),
              std::filesystem::path(folder.toStdString()));
    EXPECT_TRUE(std::filesystem::is_directory(simulated.simulatorStateFile.parent_path()));

    const app::DeviceOptions real = app::CTessikApp::deviceOptions(false);
    EXPECT_FALSE(real.simulate);
    EXPECT_TRUE(real.simulatorStateFile.empty());
}

}  // namespace
}  // namespace tessik::test
