#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <QTextBrowser>

#include "app/HelpViewer.hpp"
#include "app/support/main_window_fixture.hpp"

namespace tessik::test {
namespace {

const QString kSourceHelp = QStringLiteral(TESSIK_SOURCE_DIR "/res/help");

TEST_F(MainWindowTest, helpOpensTheEnglishPagesAtTheirIndex) {
    openWindow(Language::English);
    window->action(CommandId::Help)->trigger();
    ASSERT_NE(window->helpViewer(), nullptr);
    const QUrl page = window->helpViewer()->browser()->source();
    EXPECT_TRUE(page.path().endsWith("/Ir_Help_e/index.html")) << page.toString().toStdString();
    EXPECT_TRUE(window->helpViewer()->isVisible());
    EXPECT_FALSE(window->helpViewer()->isModal());
}

TEST_F(MainWindowTest, helpOpensTheJapanesePagesUnderAJapaneseUi) {
    openWindow(Language::Japanese);
    window->Help();
    const QUrl page = window->helpViewer()->browser()->source();
    EXPECT_TRUE(page.path().endsWith("/Ir_Help/index.html")) << page.toString().toStdString();
}

TEST(HelpPages, missingPagesAreReportedWithTheFoldersSearched) {
    EXPECT_FALSE(app::findHelpIndex(Language::English, {"/nonexistent/help"}));
    app::HelpViewer viewer(Language::English, {"/nonexistent/help"});
    viewer.showIndex();
    const QString shown = viewer.browser()->toPlainText();
    EXPECT_TRUE(shown.contains("Ir_Help_e")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("/nonexistent/help"));
    EXPECT_TRUE(app::findHelpIndex(Language::English, {kSourceHelp}).has_value());
    EXPECT_TRUE(app::findHelpIndex(Language::Japanese, {kSourceHelp}).has_value());
}

// Every page of a set, relative to the set's folder.
QStringList pagesOf(const QString& set) {
    QStringList pages;
    QDirIterator it(kSourceHelp + "/" + set, {"*.html"}, QDir::Files);
    while (it.hasNext())
        pages << QFileInfo(it.next()).fileName();
    pages.sort();
    return pages;
}

TEST(HelpPages, bothLanguagesHaveTheSamePagesAndEveryLocalLinkResolves) {
    const QStringList english = pagesOf("Ir_Help_e");
    EXPECT_GE(english.size(), 8);
    EXPECT_EQ(english, pagesOf("Ir_Help"));
    const QRegularExpression link(R"(href="([^"#:]+)(#[^"]*)?")");
    for (const QString& set : {QStringLiteral("Ir_Help_e"), QStringLiteral("Ir_Help")}) {
        for (const QString& page : english) {
            QFile f(kSourceHelp + "/" + set + "/" + page);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const QString html = QString::fromUtf8(f.readAll());
            EXPECT_TRUE(html.contains("<title>")) << set.toStdString() << "/" << page.toStdString();
            for (auto m = link.globalMatch(html); m.hasNext();) {
                const QString target = m.next().captured(1);
                EXPECT_TRUE(QFileInfo::exists(kSourceHelp + "/" + set + "/" + target))
                    << set.toStdString() << "/" << page.toStdString() << " links to "
                    << target.toStdString();
            }
        }
    }
}

}  // namespace
}  // namespace tessik::test
