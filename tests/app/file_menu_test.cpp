#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <fstream>

#include "app/ImportDlg.hpp"
#include "app/support/main_window_fixture.hpp"
#include "core/text/strings.hpp"

namespace tessik::test {
namespace {

Message box(StringId id, MessageKind kind) {
    return Message{{}, std::string(text(id, Language::English)), kind};
}

TEST_F(MainWindowTest, openAsksBeforeDiscardingAndAFileThatFailsLeavesTheWindowEmpty) {
    openWindow();
    dialogs.chooseNext(dir / "gone.ird");
    window->Open();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].text.find("No such file or directory"), std::string::npos);

    startNew("TV");
    addCodes(4);
    dialogs.clearShown();
    dialogs.answer(Answer::Cancel);
    window->Open();
    EXPECT_TRUE(dialogs.fileRequests.empty()) << "Cancel at the question";
    dialogs.answer(Answer::Ok);
    dialogs.chooseNext(std::nullopt);
    window->Open();
    EXPECT_EQ(rows(), 4) << "the file dialog cancelled";

    const auto bad = dir / "notes.ird";
    std::ofstream(bad) << std::string(200, 'x');
    dialogs.clearShown();
    dialogs.answer(Answer::Ok);  // discard the unsaved table
    dialogs.chooseNext(bad);
    window->Open();
    EXPECT_EQ(dialogs.shown, (std::vector{box(StringId::ContinueWithUnsaved, MessageKind::Question),
                                          box(StringId::BadDataFile, MessageKind::Warning)}));
    EXPECT_EQ(dialogs.fileRequests, std::vector{app::dataFileDialog(app::FileDialogKind::Open)});
    EXPECT_EQ(rows(), 0) << "the list shows the emptied model";
    EXPECT_EQ(menuStates(*window), CommandStates{.guidedSetUp = true});
}

TEST_F(MainWindowTest,
       saveAsReportsFailuresAndAsksBeforeReplacingSaveAsksOnlyWhenModifiedOpenReadsItBack) {
    openWindow();
    startNew("TV");
    addCodes(2);
    // A folder standing at the chosen name cannot be replaced by the file.
    std::filesystem::create_directories(dir / "folder.ird" / "inside");
    dialogs.chooseNext(dir / "folder.ird");
    dialogs.answer(Answer::Ok);
    window->SaveAs();
    EXPECT_NE(dialogs.shown.back().text.find("Is a directory"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.ird" / "inside"));
    EXPECT_TRUE(window->dataFile().empty());

    dialogs.clearShown();
    const auto file = dir / "tv.ird";
    std::ofstream(file) << "keep me";

    dialogs.chooseNext(file);
    dialogs.answer(Answer::Cancel);
    window->action(CommandId::SaveAs)->trigger();
    EXPECT_EQ(dialogs.shown, std::vector{box(StringId::OverwriteExisting, MessageKind::Question)});
    EXPECT_EQ(dialogs.fileRequests, std::vector{app::dataFileDialog(app::FileDialogKind::Save)});
    EXPECT_EQ(std::filesystem::file_size(file), 7u);
    EXPECT_FALSE(menuStates(*window).save);

    dialogs.chooseNext(file);
    dialogs.answer(Answer::Ok);
    window->SaveAs();
    EXPECT_EQ(std::filesystem::file_size(file), 120178u);
    EXPECT_TRUE(menuStates(*window).save);
    EXPECT_EQ(window->dataFile(), file);

    dialogs.clearShown();
    window->Save();
    EXPECT_TRUE(dialogs.shown.empty()) << "nothing unsaved: rewritten without a question";
    addCodes(1, 0x5000);
    dialogs.answer(Answer::Cancel);
    dialogs.answer(Answer::Ok);
    window->Save();
    EXPECT_TRUE(window->model().modified()) << "Cancel";
    window->Save();
    EXPECT_EQ(dialogs.shown, std::vector(2, box(StringId::OverwriteOnSave, MessageKind::Question)));
    EXPECT_FALSE(window->model().modified());
    EXPECT_TRUE(dialogs.fileRequests.empty()) << "Save never shows a file dialog";

    // The title names the file and marks unsaved changes; undoing past the save marks them
    // again, and redoing back to it clears the mark.
    EXPECT_EQ(window->windowTitle(), "tv.ird – Infrared-remote-control setting tool");
    window->action(CommandId::Undo)->trigger();
    EXPECT_EQ(std::tuple(window->windowTitle().startsWith("tv.ird* – "), rows()),
              std::tuple(true, 2));
    QAction* redo = window->action(CommandId::Redo);
    EXPECT_EQ(std::tuple(redo->text(), redo->shortcuts()),
              std::tuple("&Redo Capture No 3",
                         QList{QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}));
    redo->trigger();
    EXPECT_FALSE(window->model().modified());

    dialogs.chooseNext(file);
    window->action(CommandId::Open)->trigger();  // nothing unsaved: no question
    EXPECT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(rows(), 3);
    EXPECT_EQ(window->findChild<QLabel*>("nameText")->text(), "TV");
    EXPECT_EQ(menuStates(*window), (CommandStates{true, true, true, true, true, true, true, true}));
    EXPECT_FALSE(window->action(CommandId::Undo)->isEnabled()) << "Open starts a new history";
}

// File > Import...: the preview lists every signal with its verdict under its remote (here the
// file's own) and the keys the chosen layout gives it; a file of one remote starts with all of
// them chosen; the chosen ones are added with their keys, an unreadable file is a box naming its
// line, and Cancel adds nothing.
TEST_F(MainWindowTest, importPreviewsTheFilesSignalsAndAddsTheCheckedOnes) {
    openWindow();
    EXPECT_FALSE(window->action(CommandId::Import)->isEnabled()) << "no table yet";
    startNew("TV");
    ASSERT_TRUE(window->action(CommandId::Import)->isEnabled());
    const std::filesystem::path file = TESSIK_TEST_DATA_DIR "/ir/nec-tv-parsed.ir";

    dialogs.chooseNext(file);
    modal.whenOpens<app::ImportDlg>([](app::ImportDlg& d) { d.reject(); });
    window->Import();
    EXPECT_EQ(rows(), 0);

    dialogs.chooseNext(file);
    modal.whenOpens<app::ImportDlg>([](app::ImportDlg& d) {
        auto* list = d.findChild<QTreeWidget*>("importList");
        ASSERT_EQ(list->topLevelItemCount(), 7);
        EXPECT_EQ(list->topLevelItem(0)->text(0), "nec-tv-parsed.ir (6 signals)");
        EXPECT_EQ(list->topLevelItem(1)->text(3), "added as No 1");
        // A click (or an assistive tool's toggle) selects and clears rows.
        list->topLevelItem(2)->setSelected(false);
        EXPECT_EQ(list->topLevelItem(2)->checkState(0), Qt::Unchecked);
        EXPECT_EQ(list->topLevelItem(0)->checkState(0), Qt::PartiallyChecked);
        EXPECT_EQ(d.findChild<QLabel*>("importSummary")->text(), "5 of 6 signals will be added.");
        auto* layouts = d.findChild<QComboBox*>("importLayout");
        EXPECT_EQ(layouts->currentText(), "None (no keys)");
        layouts->setCurrentIndex(layouts->findText("Plain navigation"));
        EXPECT_EQ(list->topLevelItem(6)->text(4), "[ENTER] (OK)");
        EXPECT_EQ(list->topLevelItem(1)->text(4), "") << "Power is no navigation role";
        click(d, "importButton");
    });
    window->Import();
    ASSERT_EQ(rows(), 5);
    EXPECT_EQ(rowTexts(1).last(), "Vol-");
    EXPECT_EQ(rowTexts(4), (QStringList{"5", "0x7A7A8585A2A25D5D", "[ENTER]", "OK"}));
    QAction* undo = window->action(CommandId::Undo);
    EXPECT_EQ(undo->text(), "&Undo Import of 5 codes");
    undo->trigger();
    EXPECT_EQ(rows(), 0) << "the whole import is one step";

    std::ofstream(dir / "bad.ir") << "Filetype: IR signals file\nname: A\ntype: raw\ndata: 1 x\n";
    dialogs.chooseNext(dir / "bad.ir");
    window->Import();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].text.find("line 4: not a duration"), std::string::npos);
}

// A collection of several remotes: nothing is chosen until the user chooses; the filter narrows
// the rows to one remote, whose row chooses its signals; Space and Select none/all change the
// choice from the keyboard, and Import adds exactly the chosen signals.
TEST_F(MainWindowTest, importOfACollectionAddsExactlyTheSignalsChosenFromTheFilteredRemote) {
    openWindow();
    startNew("Receiver");
    dialogs.chooseNext(TESSIK_TEST_DATA_DIR "/ir/collection.ir");
    modal.whenOpens<app::ImportDlg>([](app::ImportDlg& d) {
        auto* list = d.findChild<QTreeWidget*>("importList");
        auto* summary = d.findChild<QLabel*>("importSummary");
        EXPECT_EQ(list->topLevelItemCount(), 7 + 33);
        EXPECT_EQ(summary->text().toStdString(), "0 of 33 signals will be added.");
        EXPECT_FALSE(d.findChild<QPushButton*>("importButton")->isEnabled());

        d.findChild<QLineEdit*>("importFilter")->setText("pioneer");
        ASSERT_EQ(list->topLevelItemCount(), 7);
        list->topLevelItem(0)->setSelected(true);
        EXPECT_EQ(summary->text().toStdString(), "6 of 33 signals will be added.");
        EXPECT_EQ(list->topLevelItem(6)->checkState(0), Qt::Checked);

        // Type-ahead moves to "STATION 7" without choosing anything; Space clears it.
        test::pressKey(list, Qt::Key_S);
        EXPECT_EQ(summary->text().toStdString(), "6 of 33 signals will be added.");
        test::pressKey(list, Qt::Key_Space);
        EXPECT_EQ(list->topLevelItem(3)->checkState(0), Qt::Unchecked);
        click(d, "importSelectNone");
        EXPECT_EQ(summary->text().toStdString(), "0 of 33 signals will be added.");
        click(d, "importSelectAll");
        test::pressKey(list, Qt::Key_Space);
        EXPECT_EQ(summary->text().toStdString(), "5 of 33 signals will be added.");
        click(d, "importButton");
    });
    window->Import();
    ASSERT_EQ(rows(), 5);
    EXPECT_EQ(rowTexts(0).last(), "FWD FFOR");
    EXPECT_EQ(rowTexts(1).last(), "THX SELECT2 GAMES");
}

// File > Export...: the format is the filter the file was chosen under; an existing file is
// replaced only after the question, and a file that cannot be written is a box.
TEST_F(MainWindowTest, exportWritesTheFormatChosenInTheSaveDialog) {
    openWindow();
    EXPECT_FALSE(window->action(CommandId::Export)->isEnabled()) << "no buttons yet";
    startNew("TV");
    dialogs.chooseNext(TESSIK_TEST_DATA_DIR "/ir/nec-tv-parsed.ir");
    modal.whenOpens<app::ImportDlg>([](app::ImportDlg& d) { click(d, "importButton"); });
    window->Import();
    ASSERT_TRUE(window->action(CommandId::Export)->isEnabled());

    const auto read = [](const std::filesystem::path& p) {
        std::ifstream in(p);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::pair<std::size_t, const char*> formats[] = {
        {0, "Filetype: IR signals file"},
        {1, "begin remote"},
        {2, "Power: 0000 006D"},
        {3, "\xEF\xBB\xBFNo,code,protocol,keys,comment"}};
    for (const auto& [filter, start] : formats) {
        const auto out = dir / ("tv" + std::to_string(filter));
        dialogs.chooseNextFormat(out, filter);
        window->action(CommandId::Export)->trigger();
        EXPECT_TRUE(read(out).starts_with(start)) << filter;
    }
    EXPECT_EQ(dialogs.fileRequests.back().filter,
              "IR signal file (*.ir);;LIRC configuration (*.conf);;Pronto hex (*.txt);;CSV "
              "table (*.csv)");

    dialogs.clearShown();
    dialogs.chooseNextFormat(dir / "tv0", 1);
    dialogs.answer(Answer::Cancel);
    window->Export();
    EXPECT_TRUE(read(dir / "tv0").starts_with("Filetype:")) << "kept after Cancel";
    std::filesystem::create_directories(dir / "folder" / "inside");
    dialogs.chooseNextFormat(dir / "folder", 0);
    dialogs.answer(Answer::Ok);
    window->Export();
    EXPECT_NE(dialogs.shown.back().text.find("Is a directory"), std::string::npos);
}

}  // namespace
}  // namespace tessik::test
