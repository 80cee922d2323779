#include <gtest/gtest.h>

#include <QLabel>
#include <QMenuBar>

#include "app/WindowPlacement.hpp"
#include "app/support/main_window_fixture.hpp"
#include "core/text/strings.hpp"

namespace tessik::test {
namespace {

Message question(StringId id) {
    return Message{{}, std::string(text(id, Language::English)), MessageKind::Question};
}

// Which commands a table allows is the model's rule; the menu shows it after every change.
TEST_F(MainWindowTest, menuAndListFollowTheTableFromNewThroughAFullTableAndDeleteByRowSlot) {
    openWindow();
    EXPECT_EQ(menuStates(*window), CommandStates{.guidedSetUp = true})
        << "every model command greyed at first, the guided set-up offered";

    startNew("Living room");
    EXPECT_EQ(window->findChild<QLabel*>("nameText")->text(), "Living room");
    EXPECT_EQ(menuStates(*window), (CommandStates{.capture = true, .guidedSetUp = true}));

    addCodes(1);
    addCodes(127, 0x2000);
    EXPECT_EQ(rows(), 128);
    EXPECT_EQ(menuStates(*window), window->model().commands()) << "the 128th code fills the table";
    EXPECT_EQ(window->model().AddCode(necLikeCode(0x9999), u"one too many"), kNoFreeSlot);

    window->DeleteButton();
    EXPECT_TRUE(dialogs.shown.empty()) << "no row selected: nothing asked";
    list()->setCurrentItem(list()->topLevelItem(0));
    dialogs.answer(Answer::Cancel);
    dialogs.answer(Answer::Ok);
    window->action(CommandId::DeleteIr)->trigger();
    EXPECT_EQ(rows(), 128) << "Cancel deletes nothing";
    pressKey(list(), Qt::Key_Delete);  // as Edit > Delete Ir Data
    EXPECT_EQ(dialogs.shown.back(), (Message{{}, "Is No.1 deleted?", MessageKind::Question}));
    EXPECT_EQ(rowTexts(0), (QStringList{"1", "0x2000", "", "button"}));

    // A table written elsewhere may leave slots empty between codes: the list shows the
    // occupied ones, and the selected row's own slot is the one deleted.
    test::rewrite(window->model(), [](RemoteTables& t) { t.buttons[1] = {}; });
    window->RefreshList(2);
    ASSERT_EQ(rows(), 126);
    EXPECT_EQ(list()->currentItem(), list()->topLevelItem(1)) << "slot 2 is the second row";
    dialogs.answer(Answer::Ok);
    window->DeleteButton();
    EXPECT_EQ(dialogs.shown.back().text, "Is No.3 deleted?");
    EXPECT_EQ(rowTexts(1).front(), "3") << "the gap at slot 1 stays";
}

TEST_F(MainWindowTest, newAndExitAskOnlyWithUnsavedChanges) {
    openWindow();
    pressKey(list(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible()) << "nothing unsaved: closed at once";
    window->show();
    startNew("TV");
    EXPECT_TRUE(dialogs.shown.empty());
    addCodes(3);

    dialogs.answer(Answer::Ok);
    startNew("");
    EXPECT_EQ(dialogs.shown, std::vector{question(StringId::ContinueWithUnsaved)});
    EXPECT_EQ(modal.acted, 2) << "the name dialog was shown after OK";
    EXPECT_EQ(rows(), 3) << "an empty name changes nothing";
    dialogs.answer(Answer::Cancel);
    window->action(CommandId::New)->trigger();
    EXPECT_EQ(modal.acted, 2) << "Cancel ends New before the name dialog";

    // Exit by Escape or the close box; Enter does nothing.
    dialogs.clearShown();
    pressKey(list(), Qt::Key_Return);
    dialogs.answer(Answer::Cancel);
    dialogs.answer(Answer::Ok);
    EXPECT_FALSE(window->close()) << "Cancel keeps the window open";
    EXPECT_TRUE(window->isVisible());
    pressKey(list(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(dialogs.shown, std::vector(2, question(StringId::ExitWithUnsaved)));
}

TEST_F(MainWindowTest, refreshListSelectsItsRowAndKeepsTheSixAfterItInView) {
    openWindow();
    startNew("TV");
    addCodes(5);
    window->RefreshList(app::kRefreshToEnd);
    EXPECT_EQ(list()->currentItem(), nullptr);

    addCodes(55, 0x2000);  // scrolled to the end
    window->RefreshList(0);
    EXPECT_EQ(list()->selectedItems(), QList{list()->topLevelItem(0)});
    EXPECT_TRUE(inView(0) && inView(6));
    window->RefreshList(30);
    EXPECT_EQ(list()->currentItem(), list()->topLevelItem(30));
    EXPECT_TRUE(inView(36));
}

// The texts are the string tables'; here, that the window and what it opens use its language.
TEST_F(MainWindowTest, captionsMenusHeadingsAndMessagesFollowTheJapaneseUi) {
    openWindow(Language::Japanese);
    EXPECT_EQ(window->windowTitle(), "赤外線リモコン設定ツール");
    QAction* fileMenu = window->findChild<QMenuBar*>("menuBar")->actions().front();
    EXPECT_EQ(fileMenu->text(), "ファイル(&F)");
    EXPECT_EQ(window->versionAction()->text(), "バージョン情報 Tessik(&A)...");
    EXPECT_EQ(list()->headerItem()->text(1), "赤外線コード");
    modal.whenOpens<QDialog>([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "ジッター量設定");
        d.reject();
    });
    window->Jitter();

    window->startUp();  // no receiver
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0],
              (Message{"Error", std::string(text(StringId::DeviceNotConnected, Language::Japanese)),
                       MessageKind::Warning}));
}

// The Virtual Remote beside the main window, wherever the window manager put it, on the common
// screens and at 200 % (1920 x 1080 seen as 960 x 540): it covers nothing and stays on screen.
TEST(WindowPlacement, theCompanionNeverCoversTheMainWindowAndStaysOnTheScreen) {
    const QSize main(656, 470), wanted(830, 700), minimum(288, 240);
    const std::tuple<QRect, QPoint> cases[] = {
        {{0, 0, 1920, 1080}, {632, 305}}, {{0, 0, 1600, 1000}, {472, 265}},
        {{0, 0, 1366, 768}, {355, 149}},  {{0, 0, 1366, 768}, {700, 0}},
        {{0, 0, 960, 540}, {152, 35}},    {{1920, 0, 1366, 768}, {1920, 298}},
    };
    for (const auto& [screen, at] : cases) {
        const app::Placement p = app::placeBeside(QRect(at, main), wanted, minimum, screen);
        EXPECT_FALSE(p.main.intersects(p.companion)) << screen.width() << " " << at.x();
        EXPECT_TRUE(screen.contains(p.main) && screen.contains(p.companion))
            << screen.width() << " " << at.x();
        EXPECT_GE(p.companion.width(), minimum.width());
    }
}

}  // namespace
}  // namespace tessik::test
