#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include "app/CNameDlg.hpp"
#include "app/support/main_window_fixture.hpp"
#include "core/text/strings.hpp"

namespace tessik::test {
namespace {

Message question(StringId id) {
    return Message{{}, std::string(text(id, Language::English)), MessageKind::Question};
}

// Which commands a table allows is the model's rule; the menu shows it after every change.
TEST_F(MainWindowTest, menuAndListFollowTheTableFromNewThroughAFullTableAndDelete) {
    openWindow();
    EXPECT_EQ(menuStates(*window), CommandStates{}) << "every model command greyed at first";
    for (CommandId always : {CommandId::New, CommandId::Open, CommandId::Exit, CommandId::Help,
                             CommandId::About, CommandId::DebugWindow, CommandId::FirmwareUpdate})
        EXPECT_TRUE(window->action(always)->isEnabled()) << static_cast<int>(always);

    startNew("Living room");
    EXPECT_EQ(window->findChild<QLabel*>("nameText")->text(), "Living room");
    EXPECT_EQ(menuStates(*window), (CommandStates{.capture = true}));

    addCodes(1);
    EXPECT_EQ(menuStates(*window), window->model().commands) << "all but Save";
    EXPECT_EQ(rowTexts(0), (QStringList{"1", "0x1000", "", "button"}));
    addCodes(127, 0x2000);
    EXPECT_EQ(rows(), 128);
    EXPECT_EQ(menuStates(*window), window->model().commands) << "the 128th code fills the table";
    EXPECT_EQ(window->AddCode(necLikeCode(0x9999), u"one too many"), kNoFreeSlot);

    window->DeleteButton();
    EXPECT_TRUE(dialogs.shown.empty()) << "no row selected: nothing asked";
    list()->setCurrentItem(list()->topLevelItem(0));
    dialogs.answer(Answer::Cancel);
    dialogs.answer(Answer::Ok);
    window->action(CommandId::DeleteIr)->trigger();
    EXPECT_EQ(rows(), 128) << "Cancel deletes nothing";
    window->action(CommandId::DeleteIr)->trigger();
    const Message deleteFirst{{}, "Is No.1 deleted?", MessageKind::Question};
    EXPECT_EQ(dialogs.shown, (std::vector{deleteFirst, deleteFirst}));
    EXPECT_EQ(rowTexts(0), (QStringList{"1", "0x2000", "", "button"}));
    EXPECT_EQ(menuStates(*window), window->model().commands);
}

// A table written elsewhere may leave slots empty between codes: the list shows the occupied
// ones, and the selected row's own slot is the one deleted.
TEST_F(MainWindowTest, aRowIsDeletedByItsSlotWhenTheTableHasGaps) {
    openWindow();
    startNew("TV");
    addCodes(3);
    window->model().buttons[1] = {};
    window->RefreshList(2);
    ASSERT_EQ(rows(), 2);
    EXPECT_EQ(list()->currentItem(), list()->topLevelItem(1)) << "slot 2 is the second row";
    dialogs.answer(Answer::Ok);
    window->DeleteButton();
    EXPECT_EQ(dialogs.shown.back().text, "Is No.3 deleted?");
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(rowTexts(0).front(), "1") << "slot 0 kept";
}

TEST_F(MainWindowTest, newAndExitAskOnlyWithUnsavedChangesAndANameIsAtMost256Characters) {
    openWindow();
    pressKey(list(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible()) << "nothing unsaved: closed at once";
    window->show();
    modal.whenOpens<app::CNameDlg>([](app::CNameDlg& d) {
        auto* edit = d.findChild<QLineEdit*>("nameEdit");
        EXPECT_EQ(d.focusWidget(), edit);
        edit->setText(QString(300, QChar(u'n')));
        d.accept();
    });
    window->New();
    EXPECT_EQ(window->model().header.remoteName, std::u16string(256, u'n'));
    EXPECT_TRUE(dialogs.shown.empty());
    addCodes(3);

    dialogs.answer(Answer::Ok);
    startNew("");
    EXPECT_EQ(dialogs.shown, std::vector{question(StringId::ContinueWithUnsaved)});
    EXPECT_EQ(modal.acted, 2) << "the name dialog was shown after OK";
    EXPECT_EQ(rows(), 3) << "an empty name changes nothing";
    EXPECT_EQ(window->model().shownName, std::u16string(256, u'n'));
    dialogs.answer(Answer::Cancel);
    window->action(CommandId::New)->trigger();
    EXPECT_EQ(modal.acted, 2) << "Cancel ends New before the name dialog";

    // Exit by Escape or the close box; Enter does nothing.
    dialogs.clearShown();
    pressKey(list(), Qt::Key_Return);
    dialogs.answer(Answer::Cancel);
    dialogs.answer(Answer::Cancel);
    dialogs.answer(Answer::Ok);
    pressKey(list(), Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible()) << "Cancel keeps the window open";
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    pressKey(list(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(dialogs.shown, std::vector(3, question(StringId::ExitWithUnsaved)));
}

TEST_F(MainWindowTest, refreshListSelectsItsRowAndKeepsTheSixAfterItInView) {
    openWindow();
    startNew("TV");
    addCodes(5);
    window->RefreshList(app::kRefreshToEnd);
    EXPECT_TRUE(list()->selectedItems().isEmpty());
    EXPECT_EQ(list()->currentItem(), nullptr);
    EXPECT_TRUE(inView(4));

    addCodes(55, 0x2000);  // scrolled to the end
    window->RefreshList(0);
    EXPECT_EQ(list()->selectedItems(), QList{list()->topLevelItem(0)});
    for (int r = 0; r <= 6; ++r)
        EXPECT_TRUE(inView(r)) << "row " << r;
    window->RefreshList(30);
    EXPECT_EQ(list()->currentItem(), list()->topLevelItem(30));
    EXPECT_TRUE(inView(36));
}

// The texts are the string tables'; here, that the window and what it opens use the language
// the locale chooses.
TEST_F(MainWindowTest, captionsMenusHeadingsAndMessagesFollowAJapaneseLocale) {
    const QByteArray saved = qgetenv("LANGUAGE");
    qputenv("LANGUAGE", "ja_JP.UTF-8");
    const Language language = uiLanguage();
    qputenv("LANGUAGE", saved);
    ASSERT_EQ(language, Language::Japanese);
    openWindow(language);
    EXPECT_EQ(window->windowTitle(), "赤外線リモコン設定ツール");
    QAction* fileMenu = window->findChild<QMenuBar*>("menuBar")->actions().front();
    EXPECT_EQ(fileMenu->text(), "ファイル");
    EXPECT_EQ(fileMenu->menu()->actions().front()->text(), "新規");
    EXPECT_EQ(window->versionAction()->text(), "バージョン情報 Tessik(&A)...");
    EXPECT_EQ(list()->headerItem()->text(1), "赤外線コード");

    auto captionOf = [this](void (app::CTessikDlg::*open)()) {
        QString caption;
        modal.whenOpens<QDialog>([&caption](QDialog& d) {
            caption = d.windowTitle();
            d.reject();
        });
        (window.get()->*open)();
        return caption;
    };
    EXPECT_EQ(captionOf(&app::CTessikDlg::New), "リモコン名設定");
    EXPECT_EQ(captionOf(&app::CTessikDlg::Jitter), "ジッター量設定");
    EXPECT_EQ(captionOf(&app::CTessikDlg::ShowVersion), "バージョン情報");

    window->startUp();  // no receiver
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0],
              (Message{"Error", "デバイスが接続されていません", MessageKind::Notice}));
}

}  // namespace
}  // namespace tessik::test
