// The main window's side windows: the debug window, the jitter dialog and the help pages.

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QSlider>
#include <QTextBrowser>

#include "app/DEBUG_w.hpp"
#include "app/HelpViewer.hpp"
#include "app/Set_Jitter.hpp"
#include "app/support/main_window_fixture.hpp"
#include "core/analysis/texts.hpp"

namespace tessik::test {
namespace {

TEST_F(MainWindowTest, debugWindowIsMadeOnFirstUseTogglesAndLogsAndShowsStatisticsWhileHidden) {
    plug(kProductIdNormal);
    openWindow();
    startNew("TV");
    window->LogLine("before");
    EXPECT_EQ(window->debugWindow(), nullptr) << "created on first use only";
    QAction* toggle = window->action(CommandId::DebugWindow);
    toggle->trigger();
    app::DEBUG_w* debug = window->debugWindow();
    ASSERT_NE(debug, nullptr);
    EXPECT_TRUE(debug->isVisible());
    window->LogLine("first");
    toggle->trigger();
    EXPECT_FALSE(debug->isVisible());
    window->LogLine("second");  // hidden: still logged
    modal.whenOpens<QDialog>([](QDialog& d) { d.accept(); });
    window->About();

    // Each control shows its own figure of the table's statistics, which only AddCode writes.
    window->model().AddCode(necLikeCode(0x77), u"");
    const std::pair<int, const char*> shown[] = {
        {1009, " 4500"}, {1025, " 9000"}, {1016, "  550"}, {1015, "  570"},
        {1019, " 1690"}, {1020, " 1685"}, {1023, "  565"}, {1021, "   32 bits"}};
    for (const auto& [control, value] : shown)
        EXPECT_EQ(debug->valueText(control), value) << control;

    toggle->trigger();
    EXPECT_TRUE(debug->isVisible());
    EXPECT_EQ(window->debugWindow(), debug) << "the same window, never a second one";
    auto* log = debug->findChild<QListWidget*>("logList");
    ASSERT_EQ(log->count(), 3);
    EXPECT_EQ(log->item(1)->text(), "second");
    EXPECT_EQ(log->item(2)->text(), "Send Get Version Command Success");
    EXPECT_EQ(log->currentRow(), 2) << "the newest line is selected";
    pressKey(debug, Qt::Key_Escape);
    EXPECT_TRUE(debug->isVisible()) << "Escape does nothing";
    click(*debug, "okButton");
    EXPECT_FALSE(debug->isVisible());
}

// The slider's range and the clamping are the dialog's; a stored value outside 5..20 (from a
// data file) shows unclamped until OK stores the slider's end.
TEST_F(MainWindowTest, jitterShowsTheStoredValueCancelKeepsItAndOkStoresTheClampedSlider) {
    openWindow();
    auto runJitter = [this](std::function<void(QDialog&, QSlider&, QLabel&)> act) {
        modal.whenOpens<app::Set_Jitter>([act](app::Set_Jitter& d) {
            act(d, *d.findChild<QSlider*>("jitterSlider"), *d.findChild<QLabel*>("jitterLabel"));
        });
        window->Jitter();
    };
    runJitter([this](QDialog& d, QSlider& slider, QLabel& label) {
        EXPECT_EQ(std::tuple(slider.minimum(), slider.maximum(), slider.value()),
                  std::tuple(5, 20, 10));
        slider.setValue(17);
        EXPECT_EQ(label.text(), "Jitter (17%)");
        EXPECT_EQ(d.findChild<QLabel*>("jitterVerdict")->text().toStdString(),
                  jitterVerdictText(window->model().header(), 17, std::nullopt, Language::English))
            << "the core's verdict for the slider's value";
        click(d, "cancelButton");
    });
    EXPECT_EQ(window->model().jitterPercent(), 10);
    runJitter([](QDialog& d, QSlider&, QLabel&) { click(d, "okButton"); });
    EXPECT_FALSE(window->model().modified()) << "neither Cancel nor OK without a change";

    window->model().setJitter(35);
    runJitter([](QDialog& d, QSlider& slider, QLabel& label) {
        EXPECT_EQ(slider.value(), 20);
        EXPECT_EQ(label.text(), "Jitter (35%)");
        click(d, "okButton");
    });
    EXPECT_EQ(modal.acted, 3);
    EXPECT_EQ(window->model().jitterPercent(), 20);
    EXPECT_TRUE(window->model().modified());
}

const QString kSourceHelp = QStringLiteral(TESSIK_SOURCE_DIR "/res/help");

TEST_F(MainWindowTest, helpOpensThePagesOfTheUiLanguageAtTheirIndex) {
    for (const auto& [language, index] : {std::pair{Language::English, "/Ir_Help_e/index.html"},
                                          std::pair{Language::Japanese, "/Ir_Help/index.html"}}) {
        openWindow(language);
        window->action(CommandId::Help)->trigger();
        ASSERT_NE(window->helpViewer(), nullptr);
        const QUrl page = window->helpViewer()->browser()->source();
        EXPECT_TRUE(page.path().endsWith(index)) << page.toString().toStdString();
        EXPECT_TRUE(window->helpViewer()->isVisible());
    }
    EXPECT_FALSE(app::findHelpIndex(Language::English, {"/nonexistent/help"}));
    app::HelpViewer viewer(Language::English, {"/nonexistent/help"});
    viewer.showIndex();
    const QString shown = viewer.browser()->toPlainText();
    EXPECT_TRUE(shown.contains("Ir_Help_e")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("/nonexistent/help"));
}

TEST(HelpPages, bothLanguagesHaveTheSamePagesAndEveryLocalLinkResolves) {
    const QRegularExpression link(R"(href="([^"#:]+)(#[^"]*)?")");
    QStringList pages[2];
    for (int s = 0; s < 2; ++s) {
        const QDir set(kSourceHelp + (s == 0 ? "/Ir_Help_e" : "/Ir_Help"));
        pages[s] = set.entryList({"*.html"}, QDir::Files, QDir::Name);
        for (const QString& page : pages[s]) {
            QFile f(set.filePath(page));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            for (auto m = link.globalMatch(QString::fromUtf8(f.readAll())); m.hasNext();) {
                const QString target = m.next().captured(1);
                EXPECT_TRUE(set.exists(target))
                    << page.toStdString() << " links to " << target.toStdString();
            }
        }
    }
    EXPECT_EQ(pages[0], pages[1]);
}

}  // namespace
}  // namespace tessik::test
