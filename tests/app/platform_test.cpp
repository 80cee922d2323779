// What the application takes from the platform: real message boxes, Qt's own translations, the
// display, the user's data folder and a clock that keeps the window painted while it waits.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QMessageBox>
#include <QStandardPaths>

#include "app/AppClock.hpp"
#include "app/CTessikApp.hpp"
#include "app/QtDialogService.hpp"
#include "app/support/widget_driver.hpp"

namespace tessik::test {
namespace {

struct BoxSeen {
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    Answer answer = Answer::Cancel;
};

// Shows `message` through the Qt service and presses its `press` button.
BoxSeen showAndPress(const Message& message, QMessageBox::StandardButton press) {
    BoxSeen seen;
    ModalDriver modal;
    modal.whenOpens<QMessageBox>([&](QMessageBox& box) {
        seen.title = box.windowTitle();
        seen.icon = box.icon();
        EXPECT_EQ(box.text().toStdString(), message.text);
        for (QAbstractButton* b : box.buttons())
            seen.buttons << b->text();
        box.button(press)->click();
    });
    seen.answer = app::QtDialogService().show(message);
    EXPECT_EQ(modal.acted, 1);
    return seen;
}

TEST(QtDialogService, showsEachKindWithItsIconButtonsAndCaption) {
    const QString appName = QCoreApplication::applicationName();
    const Message question{{}, "Does it overwrite? ", MessageKind::Question};
    EXPECT_EQ(showAndPress(question, QMessageBox::Cancel).answer, Answer::Cancel);
    struct Kind {
        Message message;
        QString title;
        QMessageBox::Icon icon;
        qsizetype buttons;
    };
    for (const Kind& k :
         {Kind{question, appName, QMessageBox::Question, 2},
          Kind{{{}, "Broken.", MessageKind::Warning}, appName, QMessageBox::Warning, 1},
          Kind{{"Info", "wait", MessageKind::Notice}, "Info", QMessageBox::Information, 1}}) {
        const BoxSeen seen = showAndPress(k.message, QMessageBox::Ok);
        EXPECT_EQ(std::tuple(seen.answer, seen.title, seen.icon, seen.buttons.size()),
                  std::tuple(Answer::Ok, k.title, k.icon, k.buttons));
    }
}

TEST(QtTranslations, japaneseUiGetsQtsOwnButtonTextsInJapanese) {
    EXPECT_EQ(app::CTessikApp::installQtTranslations(Language::English), nullptr);
    QTranslator* translator = app::CTessikApp::installQtTranslations(Language::Japanese);
    ASSERT_NE(translator, nullptr) << "qtbase_ja from qt6-translations-l10n";
    const BoxSeen seen = showAndPress(Message{{}, "?", MessageKind::Question}, QMessageBox::Ok);
    EXPECT_TRUE(seen.buttons.contains(QString::fromUtf8("キャンセル")))
        << seen.buttons.join(", ").toStdString();
    QCoreApplication::removeTranslator(translator);
    delete translator;
}

TEST(DisplayHint, saysHowToRunWithoutADisplayAndNothingOtherwise) {
    const auto hint = app::missingDisplayHint(nullptr, "", nullptr);
    ASSERT_TRUE(hint.has_value());
    EXPECT_NE(hint->find("xvfb-run"), std::string::npos);
    EXPECT_FALSE(app::missingDisplayHint(nullptr, nullptr, "offscreen"));
}

// The command line as tessik-cli takes it: the simulated receiver, its faults, its boot loader
// and where it keeps its table.
std::optional<app::DeviceOptions> optionsFrom(QStringList arguments, std::string& error) {
    QCommandLineParser parser;
    app::CTessikApp::addDeviceOptions(parser);
    arguments.prepend(QStringLiteral("tessik"));
    EXPECT_TRUE(parser.parse(arguments)) << parser.errorText().toStdString();
    return app::CTessikApp::deviceOptions(parser, error);
}

TEST(DeviceOptions, takeTheSimulatorOptionsOfTheCommandLineAndRefuseWhatItCannotDo) {
    std::string error;
    QStandardPaths::setTestModeEnabled(true);
    const auto simulated = optionsFrom({"--simulate"}, error);
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QStandardPaths::setTestModeEnabled(false);
    ASSERT_TRUE(simulated) << error;
    EXPECT_EQ(simulated->simStateFile.parent_path(), std::filesystem::path(folder.toStdString()));

    const auto faulty =
        optionsFrom({"--simulate", "--sim-fault", "nak-exchange=40", "--sim-update-mode",
                     "--sim-fault", "corrupt-block=3", "--sim-state", "/tmp/receiver.state"},
                    error);
    ASSERT_TRUE(faulty) << error;
    EXPECT_EQ(faulty->simFaults, (std::vector<std::string>{"nak-exchange=40", "corrupt-block=3"}));
    EXPECT_TRUE(faulty->simUpdateMode);
    EXPECT_EQ(faulty->simStateFile, std::filesystem::path("/tmp/receiver.state"));

    EXPECT_FALSE(optionsFrom({"--simulate", "--sim-fault", "no-such-fault"}, error));
    EXPECT_EQ(error, "unknown fault \"no-such-fault\"");
    EXPECT_FALSE(optionsFrom({"--sim-update-mode"}, error));
    EXPECT_EQ(error, "--sim-fault, --sim-update-mode and --sim-state need --simulate");
}

class PaintCounter : public QWidget {
  public:
    int paints = 0;

  protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

TEST(AppClock, aSleepKeepsTheWindowPaintedAndLastsItsTime) {
    app::AppClock clock;
    PaintCounter window;
    window.show();
    QCoreApplication::processEvents();
    const int paintsBefore = window.paints;
    bool sleepingSeen = false;
    QTimer::singleShot(5, [&] {
        sleepingSeen = clock.sleeping();
        window.update();
    });
    const std::uint32_t start = clock.tickMs();
    clock.sleepMs(60);
    EXPECT_GE(clock.tickMs() - start, 59u);
    EXPECT_TRUE(sleepingSeen) << "the timer ran during the wait";
    EXPECT_GT(window.paints, paintsBefore) << "the window was repainted during the wait";
    EXPECT_FALSE(clock.sleeping());
}

}  // namespace
}  // namespace tessik::test
