#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>

#include "app/CNameDlg.hpp"
#include "app/support/main_window_fixture.hpp"
#include "core/datafile/data_file.hpp"
#include "core/text/strings.hpp"

namespace tessik::test {
namespace {

using app::CTessikDlg;

Message question(StringId id) {
    return Message{{}, std::string(text(id, Language::English)), MessageKind::Question};
}

TEST_F(MainWindowTest, menuFollowsTheTableFromNewThroughFullTableDeleteSaveAsAndOpen) {
    openWindow();
    EXPECT_EQ(menuStates(*window), CommandStates{}) << "every model command greyed at first";
    for (CommandId always : {CommandId::New, CommandId::Open, CommandId::Exit, CommandId::Help,
                             CommandId::About, CommandId::DebugWindow, CommandId::FirmwareUpdate}) {
        EXPECT_TRUE(window->action(always)->isEnabled()) << static_cast<int>(always);
    }

    startNew("Living room");
    EXPECT_EQ(window->findChild<QLabel*>("nameText")->text(), "Living room");
    EXPECT_EQ(menuStates(*window), (CommandStates{.capture = true}));

    addCodes(1);
    EXPECT_EQ(menuStates(*window), (CommandStates{.saveAs = true,
                                                  .capture = true,
                                                  .deleteIr = true,
                                                  .setUp = true,
                                                  .editMacro = true,
                                                  .jitter = true}));
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(list()->topLevelItem(0)->text(0), "1");
    EXPECT_EQ(list()->topLevelItem(0)->text(1), "0x1000");
    EXPECT_EQ(list()->topLevelItem(0)->text(3), "button");

    addCodes(127, 0x2000);
    EXPECT_EQ(rows(), 128);
    EXPECT_FALSE(menuStates(*window).capture) << "the 128th code fills the table";
    EXPECT_EQ(window->AddCode(necLikeCode(0x9999), u"one too many"), kNoFreeSlot);

    list()->setCurrentItem(list()->topLevelItem(0));
    dialogs.answer(Answer::Ok);
    window->action(CommandId::DeleteIr)->trigger();
    EXPECT_EQ(dialogs.shown.back(), (Message{{}, "Is No.1 deleted?", MessageKind::Question}));
    EXPECT_EQ(rows(), 127);
    EXPECT_EQ(list()->topLevelItem(0)->text(1), "0x2000");
    EXPECT_EQ(menuStates(*window), (CommandStates{.saveAs = true,
                                                  .capture = true,
                                                  .deleteIr = true,
                                                  .setUp = true,
                                                  .editMacro = true,
                                                  .jitter = true}));

    const auto file = dir / "living-room.ird";
    dialogs.chooseNext(file);
    window->action(CommandId::SaveAs)->trigger();
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_FALSE(window->model().modified);
    EXPECT_TRUE(menuStates(*window).save);

    dialogs.chooseNext(file);
    window->action(CommandId::Open)->trigger();
    EXPECT_EQ(menuStates(*window), (CommandStates{true, true, true, true, true, true, true}));
    EXPECT_EQ(rows(), 127);
    EXPECT_EQ(window->findChild<QLabel*>("nameText")->text(), "Living room");
    EXPECT_EQ(dialogs.shown.size(), 1u) << "nothing unsaved, so Save As and Open asked nothing";
    EXPECT_EQ(menuStates(*window), window->model().commands);
}

TEST_F(MainWindowTest, newAsksFirstWhenModifiedAndAnEmptyNameChangesNothing) {
    openWindow();
    startNew("Old");
    addCodes(3);
    ASSERT_TRUE(window->model().modified);
    const auto before = menuStates(*window);

    dialogs.answer(Answer::Ok);
    startNew("");
    EXPECT_EQ(dialogs.shown, std::vector<Message>{question(StringId::ContinueWithUnsaved)});
    EXPECT_EQ(modal.acted, 2) << "the name dialog was shown after OK";
    EXPECT_EQ(rows(), 3);
    EXPECT_EQ(window->model().shownName, u"Old");
    EXPECT_TRUE(window->model().modified);
    EXPECT_EQ(menuStates(*window), before);

    dialogs.answer(Answer::Cancel);
    window->action(CommandId::New)->trigger();
    EXPECT_EQ(modal.acted, 2) << "Cancel ends New before the name dialog";
    EXPECT_EQ(rows(), 3);
}

TEST_F(MainWindowTest, nameDialogTakesFocusAndAtMost256Characters) {
    openWindow();
    modal.whenOpens<app::CNameDlg>([](app::CNameDlg& d) {
        auto* edit = d.findChild<QLineEdit*>("nameEdit");
        EXPECT_EQ(d.focusWidget(), edit);
        EXPECT_EQ(d.windowTitle(), "Name Input");
        edit->setText(QString(300, QChar(u'n')));
        EXPECT_EQ(edit->text().size(), 256);
        d.accept();
    });
    window->New();
    EXPECT_EQ(window->model().header.remoteName.size(), 256u);
}

TEST_F(MainWindowTest, escapeAsksOnlyWithUnsavedChangesAndEnterDoesNothing) {
    openWindow();
    list()->setFocus();
    pressKey(list(), Qt::Key_Return);
    pressKey(list(), Qt::Key_Enter);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(dialogs.shown.empty());

    startNew("TV");
    addCodes(2);
    dialogs.answer(Answer::Cancel);
    pressKey(list(), Qt::Key_Escape);
    EXPECT_EQ(dialogs.shown, std::vector<Message>{question(StringId::ExitWithUnsaved)});
    EXPECT_TRUE(window->isVisible()) << "Cancel keeps the window open";

    dialogs.answer(Answer::Ok);
    pressKey(list(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, escapeWithoutUnsavedChangesClosesAtOnceAndSoDoesTheCloseBox) {
    openWindow();
    pressKey(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(dialogs.shown.empty());

    window->show();
    startNew("TV");
    dialogs.answer(Answer::Cancel);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(MainWindowTest, refreshToEndOnFiveRowsSelectsNothingAndShowsTheLastRow) {
    openWindow();
    startNew("TV");
    addCodes(5);
    window->RefreshList(app::kRefreshToEnd);
    EXPECT_TRUE(list()->selectedItems().isEmpty());
    EXPECT_EQ(list()->currentItem(), nullptr);
    const QRect last = list()->visualItemRect(list()->topLevelItem(4));
    EXPECT_TRUE(list()->viewport()->rect().contains(last));
}

TEST_F(MainWindowTest, refreshZeroSelectsTheFirstRowAndKeepsSevenRowsInView) {
    openWindow();
    startNew("TV");
    addCodes(60);  // scrolled to the end
    window->RefreshList(0);
    ASSERT_EQ(list()->selectedItems().size(), 1);
    EXPECT_EQ(list()->selectedItems().front(), list()->topLevelItem(0));
    EXPECT_EQ(list()->currentItem(), list()->topLevelItem(0));
    for (int r = 0; r <= 6; ++r) {
        EXPECT_TRUE(
            list()->viewport()->rect().contains(list()->visualItemRect(list()->topLevelItem(r))))
            << "row " << r;
    }

    window->RefreshList(30);
    EXPECT_EQ(list()->currentItem(), list()->topLevelItem(30));
    EXPECT_TRUE(
        list()->viewport()->rect().contains(list()->visualItemRect(list()->topLevelItem(36))));
}

TEST_F(MainWindowTest, deleteWithoutSelectionOrAfterCancelLeavesTheTable) {
    openWindow();
    startNew("TV");
    addCodes(3);
    window->DeleteButton();
    EXPECT_TRUE(dialogs.shown.empty()) << "no row selected: nothing asked";

    list()->setCurrentItem(list()->topLevelItem(2));
    dialogs.answer(Answer::Cancel);
    window->DeleteButton();
    EXPECT_EQ(dialogs.shown.back().text, "Is No.3 deleted?");
    EXPECT_EQ(rows(), 3);
}

TEST(MainWindowJapanese, everyCaptionMenuAndHeadingIsJapaneseUnderAJapaneseLocale) {
    const QByteArray saved = qgetenv("LANGUAGE");
    qputenv("LANGUAGE", "ja_JP.UTF-8");
    const Language language = uiLanguage();
    qputenv("LANGUAGE", saved);
    ASSERT_EQ(language, Language::Japanese);

    app::ScriptedDialogService dialogs;
    FakeClock clock;
    SimulatedBus bus{clock};
    app::DeviceOptions options;
    options.transport = &bus;
    options.clock = &clock;
    app::CTessikDlg w(dialogs, options, language);

    EXPECT_EQ(w.windowTitle(), "赤外線リモコン設定ツール");
    QStringList menus;
    for (QAction* a : w.findChild<QMenuBar*>("menuBar")->actions())
        menus << a->text();
    EXPECT_EQ(menus, (QStringList{"ファイル", "編集", "設定", "Help"}));
    const std::pair<CommandId, const char*> items[] = {
        {CommandId::New, "新規"},
        {CommandId::Open, "開く..."},
        {CommandId::Save, "保存"},
        {CommandId::SaveAs, "名前をつけて保存..."},
        {CommandId::Exit, "終了"},
        {CommandId::Capture, "リモコンデータ取り込み"},
        {CommandId::DeleteIr, "リモコンデータ削除"},
        {CommandId::SetUp, "リモコンデータ登録"},
        {CommandId::EditMacro, "マクロ編集"},
        {CommandId::Jitter, "ジッタ設定"},
        {CommandId::Help, "Help"},
        {CommandId::About, "About"},
        {CommandId::DebugWindow, "Debug Window"},
        {CommandId::FirmwareUpdate, "Firmware Update"},
    };
    for (const auto& [id, expected] : items) {
        EXPECT_EQ(w.action(id)->text(), QString::fromUtf8(expected)) << static_cast<int>(id);
    }
    EXPECT_EQ(w.versionAction()->text(), "バージョン情報 Tessik(&A)...");
    QTreeWidget* l = w.findChild<QTreeWidget*>("buttonList");
    EXPECT_EQ(l->headerItem()->text(1), "赤外線コード");
    EXPECT_EQ(l->headerItem()->text(2), "送信文字列");
    EXPECT_EQ(l->headerItem()->text(3), "コメント");

    // The dialogs' captions and the questions come in Japanese too.
    ModalDriver modal;
    QString nameCaption, jitterCaption, aboutCaption;
    modal.whenOpens<QDialog>([&](QDialog& d) {
        nameCaption = d.windowTitle();
        d.reject();
    });
    w.New();
    w.model().startNew(u"リビング");
    modal.whenOpens<QDialog>([&](QDialog& d) {
        jitterCaption = d.windowTitle();
        d.reject();
    });
    w.Jitter();
    modal.whenOpens<QDialog>([&](QDialog& d) {
        aboutCaption = d.windowTitle();
        d.reject();
    });
    w.ShowVersion();
    EXPECT_EQ(nameCaption, "リモコン名設定");
    EXPECT_EQ(jitterCaption, "ジッター量設定");
    EXPECT_EQ(aboutCaption, "バージョン情報");
    dialogs.answer(Answer::Cancel);
    w.Close();
    EXPECT_EQ(dialogs.shown.back().text, "保存されていないデータは破棄されます。\n終了しますか？");
}

}  // namespace
}  // namespace tessik::test
