// The send-string editor, the macro registration and the macro list, opened from the main
// window and fed with key events as an X display delivers them. The editing rules are the
// core's; these tests check what reaches the dialogs and what they store.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTreeWidget>

#include "app/CInputKeyDlg.hpp"
#include "app/InputMacro.hpp"
#include "app/MacroListDlg.hpp"
#include "app/support/main_window_fixture.hpp"
#include "app/support/x11_keys.hpp"

namespace tessik::test {
namespace {

QLineEdit* edit(QWidget& d, const char* name) {
    return d.findChild<QLineEdit*>(QString::fromLatin1(name));
}
bool checked(QWidget& d, const char* name) {
    return d.findChild<QCheckBox*>(QString::fromLatin1(name))->isChecked();
}
QStringList rowOf(QTreeWidget* list, int row) {
    QStringList texts;
    for (int c = 0; c < list->columnCount(); ++c)
        texts << list->topLevelItem(row)->text(c);
    return texts;
}

// A double-click selects the row, then reports the double-click.
void doubleClick(QTreeWidget* list, int row) {
    list->setCurrentItem(list->topLevelItem(row));
    list->itemDoubleClicked(list->topLevelItem(row), 0);
}

constexpr auto kCtrl = Qt::ControlModifier;

TEST_F(MainWindowTest, sendStringEditorCapturesKeyboardKeysAndStoresEachEntryItLeaves) {
    openWindow();
    startNew("TV");
    addCodes(3);
    modal.whenOpens<app::CInputKeyDlg>([](app::CInputKeyDlg& d) {
        QLineEdit* send = edit(d, "sendTextEdit");
        EXPECT_EQ(d.focusWidget(), edit(d, "commentEdit"));
        send->setFocus();
        keyDown(send, x11::LeftCtrl);
        tap(send, x11::letter('c', 54), kCtrl);
        keyUp(send, x11::LeftCtrl, kCtrl);
        EXPECT_EQ(send->text(), "[LCTRL]c");
        EXPECT_TRUE(checked(d, "lCtrlBox"));
        EXPECT_FALSE(checked(d, "rCtrlBox"));
        click(d, "nextButton");

        // Button 2: F5, a JIS key, a letter the box types, then keys that would move the focus
        // or close the dialog anywhere else.
        for (const XKey& k :
             {x11::F5, x11::Yen, x11::letter('a', 38), x11::Tab, x11::Enter, x11::Right})
            tap(send, k);
        tap(send, x11::letter('b', 56));  // a seventh key
        tap(send, x11::Escape);           // likewise ignored
        EXPECT_EQ(send->text(), "[F5][\\]a[TAB][ENTER][RIGHT]");
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.focusWidget(), send);
        click(d, "prevButton");

        EXPECT_EQ(send->text(), "[LCTRL]c") << "button 1 loaded again";
        QLineEdit* comment = edit(d, "commentEdit");
        comment->setText("Copy");
        comment->setFocus();
        pressKey(comment, Qt::Key_Return);  // "Close" is the default button
    });
    doubleClick(list(), 0);
    EXPECT_EQ(modal.acted, 2) << "the name dialog, then the editor";
    const RemoteModel& m = window->model();
    EXPECT_EQ(m.buttons[0].code.keys, (KeyCodeList{0x0106, 0, 0, 0, 0, 0}));
    EXPECT_EQ(m.buttons[1].code.keys, (KeyCodeList{0x3E, 0x89, 0x04, 0x2B, 0x28, 0x4F}));
    EXPECT_EQ(rowTexts(0), (QStringList{"1", "0x1000", "[LCTRL]c", "Copy"}));
    EXPECT_EQ(list()->currentItem(), list()->topLevelItem(0)) << "the stored row selected";
    EXPECT_TRUE(rowTexts(1)[2].endsWith("a[TAB][ENTER][RIGHT]"));

    // Esc outside the send box leaves without storing the entry.
    const ButtonRecord third = m.buttons[2];
    modal.whenOpens<app::CInputKeyDlg>([](app::CInputKeyDlg& d) {
        QLineEdit* send = edit(d, "sendTextEdit");
        send->setFocus();
        tap(send, x11::letter('x', 53));
        EXPECT_EQ(send->text(), "x");
        edit(d, "commentEdit")->setFocus();
        pressKey(edit(d, "commentEdit"), Qt::Key_Escape);
    });
    list()->setCurrentItem(list()->topLevelItem(2));
    window->EditButton();
    EXPECT_EQ(modal.acted, 3);
    EXPECT_EQ(m.buttons[2], third);
}

TEST_F(MainWindowTest, macrosAreRegisteredListedAssignedAndDeletedThroughTheirDialogs) {
    openWindow();
    startNew("TV");
    addCodes(2);
    window->model().modified = false;  // as after a save

    // Edit > Edit Macro, Add: a name, the interval with the arrow keys, two typed commands.
    modal.whenOpens<app::MacroListDlg>([this](app::MacroListDlg& list) {
        modal.whenOpens<app::InputMacro>([this](app::InputMacro& reg) {
            edit(reg, "macroNameEdit")->setText("Movie night");
            auto* interval = reg.findChild<QSpinBox*>("intervalSpin");
            for (int i = 0; i < 20; ++i)
                pressKey(interval, Qt::Key_Up);
            pressKey(interval, Qt::Key_PageUp);  // one step of ten like any other
            pressKey(interval, Qt::Key_Down);
            EXPECT_EQ(interval->value(), 700);
            modal.whenOpens<app::CInputKeyDlg>([](app::CInputKeyDlg& k) {
                QLineEdit* send = edit(k, "sendTextEdit");
                tap(send, x11::Enter);
                click(k, "nextButton");
                tap(send, x11::F5);
                click(k, "closeButton");
            });
            click(reg, "addButton");
            EXPECT_EQ(reg.findChild<QTreeWidget*>("commandList")->topLevelItemCount(), 2);
            click(reg, "closeButton");
        });
        click(list, "addButton");
        auto* rows = list.findChild<QTreeWidget*>("macroList");
        ASSERT_EQ(rows->topLevelItemCount(), 1);
        EXPECT_EQ(rowOf(rows, 0), (QStringList{"1", "Movie night", "700", "[ENTER]", "[F5]", "", "",
                                               "", "", "", ""}));
        click(list, "closeButton");
    });
    window->action(CommandId::EditMacro)->trigger();
    EXPECT_EQ(modal.acted, 4);
    EXPECT_TRUE(window->model().modified) << "File > Exit and Open now ask first";

    // Button 2 runs it: the "Macro" box, then the macro chosen in the combo box.
    modal.whenOpens<app::CInputKeyDlg>([](app::CInputKeyDlg& d) {
        d.findChild<QCheckBox*>("macroBox")->click();
        auto* combo = d.findChild<QComboBox*>("macroCombo");
        ASSERT_TRUE(combo->isEnabled());
        EXPECT_EQ(combo->itemText(1), "New Macro");
        combo->activated(0);
        click(d, "closeButton");
    });
    doubleClick(list(), 1);
    EXPECT_EQ(rowTexts(1)[2], "[M Movie night]");

    // A second macro, run by button 1. Deleting the first (after renaming it with Esc, which
    // keeps the name) drops button 2's reference and renumbers button 1's.
    RemoteModel& m = window->model();
    m.macros[1] = macroNamed(u"Later");
    referToMacro(m, 0, 1);
    window->RefreshList(0);
    m.modified = false;
    dialogs.answer(Answer::Ok);
    modal.whenOpens<app::MacroListDlg>([this](app::MacroListDlg& list) {
        auto* rows = list.findChild<QTreeWidget*>("macroList");
        rows->setCurrentItem(rows->topLevelItem(0));
        modal.whenOpens<app::InputMacro>([](app::InputMacro& reg) {
            QLineEdit* name = edit(reg, "macroNameEdit");
            EXPECT_EQ(name->text(), "Movie night");
            name->setText("Renamed");
            pressKey(name, Qt::Key_Escape);
        });
        click(list, "editButton");
        EXPECT_EQ(rows->topLevelItem(0)->text(1), "Movie night");
        rows->setCurrentItem(rows->topLevelItem(0));
        click(list, "deleteButton");
        ASSERT_EQ(rows->topLevelItemCount(), 1);
        EXPECT_EQ(rows->topLevelItem(0)->text(1), "Later");
        list.reject();
    });
    window->EditMacro();
    EXPECT_EQ(dialogs.shown.back().text, "Is No.1 deleted?");
    EXPECT_EQ(m.buttons[1].code.keys, KeyCodeList{});
    EXPECT_EQ(m.buttons[0].code.keys, (KeyCodeList{kMacroMarker, 0, 0, 0, 0, 0}));
    EXPECT_EQ(rowTexts(0)[2], "[M Later]");
    EXPECT_EQ(rowTexts(1)[2], "");
    EXPECT_TRUE(m.modified);
}

}  // namespace
}  // namespace tessik::test
