#include <gtest/gtest.h>

#include <QListWidget>

#include "app/DEBUG_w.hpp"
#include "app/support/main_window_fixture.hpp"

namespace tessik::test {
namespace {

TEST_F(MainWindowTest, debugWindowCommandShowsHidesAndShowsAgain) {
    openWindow();
    EXPECT_EQ(window->debugWindow(), nullptr) << "created on first use only";
    QAction* toggle = window->action(CommandId::DebugWindow);

    toggle->trigger();
    app::DEBUG_w* debug = window->debugWindow();
    ASSERT_NE(debug, nullptr);
    EXPECT_TRUE(debug->isVisible());
    EXPECT_FALSE(debug->isModal());
    EXPECT_TRUE(debug->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_EQ(debug->windowTitle(), "DEBUG Message");

    toggle->trigger();
    EXPECT_FALSE(debug->isVisible());
    toggle->trigger();
    EXPECT_TRUE(debug->isVisible());
    EXPECT_EQ(window->debugWindow(), debug) << "the same window, never a second one";
}

TEST_F(MainWindowTest, linesLoggedBeforeTheDebugWindowExistsAreDropped) {
    openWindow();
    window->LogLine("before");
    window->action(CommandId::DebugWindow)->trigger();
    window->LogLine("first");
    window->action(CommandId::DebugWindow)->trigger();  // hidden: still logged
    window->LogLine("second");

    auto* log = window->debugWindow()->findChild<QListWidget*>("logList");
    ASSERT_EQ(log->count(), 2);
    EXPECT_EQ(log->item(0)->text(), "first");
    EXPECT_EQ(log->item(1)->text(), "second");
    EXPECT_EQ(log->currentRow(), 1) << "the newest line is selected";
}

TEST_F(MainWindowTest, deviceExchangesAreLoggedInTheDebugWindow) {
    bus.plug(kProductIdNormal);
    openWindow();
    window->action(CommandId::DebugWindow)->trigger();
    modal.whenOpens<QDialog>([](QDialog& d) { d.accept(); });
    window->About();
    auto* log = window->debugWindow()->findChild<QListWidget*>("logList");
    ASSERT_EQ(log->count(), 1);
    EXPECT_EQ(log->item(0)->text(), "Send Get Version Command Success");
}

TEST_F(MainWindowTest, okHidesTheDebugWindowAndEscapeDoesNothing) {
    openWindow();
    window->ToggleDebugWindow();
    app::DEBUG_w* debug = window->debugWindow();
    pressKey(debug, Qt::Key_Escape);
    EXPECT_TRUE(debug->isVisible());
    click(*debug, "okButton");
    EXPECT_FALSE(debug->isVisible());
    window->ToggleDebugWindow();
    EXPECT_TRUE(debug->isVisible());
}

TEST_F(MainWindowTest, statisticsAreWrittenByAddCodeOnlyEvenWhileHidden) {
    openWindow();
    startNew("TV");
    window->ToggleDebugWindow();
    app::DEBUG_w* debug = window->debugWindow();
    EXPECT_EQ(debug->valueText(1009), "") << "a new window starts empty";

    window->ToggleDebugWindow();  // hidden
    CodeRecord c = necLikeCode(0x77);
    c.leaderHigh = 4500;
    c.highMin = 550;
    c.highMax = 570;
    window->AddCode(c, u"");
    EXPECT_EQ(debug->valueText(1009), " 4500");
    EXPECT_EQ(debug->valueText(1010), " 4500");
    EXPECT_EQ(debug->valueText(1014), " 4500");
    EXPECT_EQ(debug->valueText(1025), " 9000");
    EXPECT_EQ(debug->valueText(1016), "  550");
    EXPECT_EQ(debug->valueText(1015), "  570");
    EXPECT_EQ(debug->valueText(1017), "  560");
    EXPECT_EQ(debug->valueText(1018), " 1680");
    EXPECT_EQ(debug->valueText(1019), " 1690");
    EXPECT_EQ(debug->valueText(1022), "  555");
    EXPECT_EQ(debug->valueText(1024), "  560");
    EXPECT_EQ(debug->valueText(1021), "   32 bits");

    // Starting anew does not touch them.
    dialogs.answer(Answer::Ok);
    startNew("Other");
    EXPECT_EQ(debug->valueText(1021), "   32 bits");
}

}  // namespace
}  // namespace tessik::test
