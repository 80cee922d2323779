#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
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

// File > Import...: the preview lists every signal with its verdict and the keys the chosen
// layout gives it; the checked ones are added with them, an unreadable file is a box naming
// its line, and Cancel adds nothing.
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
        ASSERT_EQ(list->topLevelItemCount(), 6);
        EXPECT_EQ(list->topLevelItem(0)->text(3), "added as No 1");
        list->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
        EXPECT_EQ(d.findChild<QLabel*>("importSummary")->text(), "5 of 6 signals will be added.");
        auto* layouts = d.findChild<QComboBox*>("importLayout");
        EXPECT_EQ(layouts->currentText(), "None (no keys)");
        layouts->setCurrentIndex(layouts->findText("Plain navigation"));
        EXPECT_EQ(list->topLevelItem(5)->text(4), "[ENTER] (OK)");
        EXPECT_EQ(list->topLevelItem(0)->text(4), "") << "Power is no navigation role";
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

}  // namespace
}  // namespace tessik::test
