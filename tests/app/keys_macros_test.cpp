// The send-string editor, the macro registration and the macro list, opened from the main
// window and fed with key events as an X display (or Windows) delivers them. The editing rules are
// the core's; these tests check what reaches the dialogs and what they store.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>

#include "app/CInputKeyDlg.hpp"
#include "app/InputMacro.hpp"
#include "app/MacroListDlg.hpp"
#include "app/support/main_window_fixture.hpp"

namespace tessik::test {
namespace {

// A key as the platform delivers it, which is all the send-string editor reads: on X11 the XKB
// keycode as the native scan code and the keysym as the native virtual key; on Windows the scan
// code and the virtual key.
struct XKey {
    int qtKey;
    quint32 scanCode;
    quint32 virtualKey;
    QString text;  // what the key types without Ctrl, Alt or the Windows key
};

#ifdef _WIN32
const XKey kLeftCtrl{Qt::Key_Control, 0x1D, 0x11, {}};
const XKey kTab{Qt::Key_Tab, 0x0F, 0x09, QStringLiteral("\t")};
const XKey kEnter{Qt::Key_Return, 0x1C, 0x0D, QStringLiteral("\r")};
const XKey kEscape{Qt::Key_Escape, 0x01, 0x1B, QStringLiteral("\x1b")};
const XKey kF5{Qt::Key_F5, 0x3F, 0x74, {}};
XKey letter(char c, quint32 /*xkbKeycode*/, quint32 scanCode) {
    return {Qt::Key_A + (c - 'a'), scanCode, static_cast<quint32>(c - 'a' + 'A'),
            QString(QChar(c))};
}
#else
const XKey kLeftCtrl{Qt::Key_Control, 37, 0xFFE3, {}};
const XKey kTab{Qt::Key_Tab, 23, 0xFF09, QStringLiteral("\t")};
const XKey kEnter{Qt::Key_Return, 36, 0xFF0D, QStringLiteral("\r")};
const XKey kEscape{Qt::Key_Escape, 9, 0xFF1B, QStringLiteral("\x1b")};
const XKey kF5{Qt::Key_F5, 71, 0xFFC2, {}};
XKey letter(char c, quint32 xkbKeycode, quint32 /*scanCode*/) {
    return {Qt::Key_A + (c - 'a'), xkbKeycode, static_cast<quint32>(c), QString(QChar(c))};
}
#endif

void sendKey(QWidget* target, QEvent::Type type, const XKey& k, Qt::KeyboardModifiers held) {
    // Qt reports the control character of a Ctrl chord, as X11 does.
    QString text = k.text;
    if ((held & Qt::ControlModifier) && text.size() == 1 && text[0].isLetter())
        text = QString(QChar(text[0].toUpper().unicode() - u'A' + 1));
    QKeyEvent e(type, k.qtKey, held, k.scanCode, k.virtualKey, 0, text);
    QApplication::sendEvent(target, &e);
}
void tap(QWidget* target, const XKey& k, Qt::KeyboardModifiers held = {}) {
    sendKey(target, QEvent::KeyPress, k, held);
    sendKey(target, QEvent::KeyRelease, k, held);
}

QLineEdit* edit(QWidget& d, const char* name) {
    return d.findChild<QLineEdit*>(QString::fromLatin1(name));
}

// A mouse press into a box, as a click into it.
void clickInto(QWidget* w) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

// A double-click selects the row, then reports the double-click.
void doubleClick(QTreeWidget* list, int row) {
    list->setCurrentItem(list->topLevelItem(row));
    list->itemDoubleClicked(list->topLevelItem(row), 0);
}

TEST_F(MainWindowTest, sendStringEditorCapturesKeyboardKeysAndStoresEachEntryItLeaves) {
    openWindow();
    startNew("TV");
    addCodes(2);
    modal.whenOpens<app::CInputKeyDlg>([](app::CInputKeyDlg& d) {
        QLineEdit* send = edit(d, "sendTextEdit");
        auto* record = d.findChild<QPushButton*>("recordButton");
        // From the keyboard: "Record Key" takes the next key, a chord the box would take as
        // its own shortcut, and lets the keyboard go again.
        record->toggle();
        sendKey(send, QEvent::KeyPress, kLeftCtrl, {});
        tap(send, letter('c', 54, 0x2E), Qt::ControlModifier);
        sendKey(send, QEvent::KeyRelease, kLeftCtrl, Qt::ControlModifier);
        tap(send, kTab);  // moves on: not recorded
        EXPECT_EQ(std::tuple(send->text(), record->isChecked()), std::tuple("[LCTRL]c", false));
        EXPECT_TRUE(d.findChild<QCheckBox*>("lCtrlBox")->isChecked());
        click(d, "nextButton");

        // Button 2, clicked into: a key without a character, a letter the box types, then keys
        // that would move the focus or close the dialog anywhere else, up to the sixth key.
        clickInto(send);
        for (const XKey& k : {kF5, letter('a', 38, 0x1E), kTab, kEnter, letter('d', 40, 0x20), kF5})
            tap(send, k);
        EXPECT_EQ(std::tuple(send->text(), d.isVisible(), record->isChecked()),
                  std::tuple("[F5]a[TAB][ENTER]d[F5]", true, false));
        click(d, "prevButton");

        EXPECT_EQ(send->text(), "[LCTRL]c") << "button 1 loaded again";
        edit(d, "commentEdit")->setText("Copy");
        pressKey(edit(d, "commentEdit"), Qt::Key_Escape);  // leaves without storing the entry
    });
    list()->setCurrentItem(list()->topLevelItem(0));
    pressKey(list(), Qt::Key_Return);  // Enter on a row opens its editor, as a double-click
    const RemoteModel& m = window->model();
    EXPECT_EQ(m.button(0).code.keys, (KeyCodeList{0x0106, 0, 0, 0, 0, 0}));
    EXPECT_EQ(m.button(1).code.keys, (KeyCodeList{0x3E, 0x04, 0x2B, 0x28, 0x07, 0x3E}));
    EXPECT_EQ(rowTexts(0), (QStringList{"1", "0x1000", "[LCTRL]c", "button"}));
    EXPECT_EQ(list()->currentItem(), list()->topLevelItem(1)) << "the last stored row selected";
}

TEST_F(MainWindowTest, macrosAreRegisteredListedAssignedAndDeletedThroughTheirDialogs) {
    openWindow();
    startNew("TV");
    addCodes(2);

    // Edit > Edit Macro, Add: a name, the interval, a typed command.
    modal.whenOpens<app::MacroListDlg>([this](app::MacroListDlg& list) {
        modal.whenOpens<app::InputMacro>([this](app::InputMacro& reg) {
            edit(reg, "macroNameEdit")->setText("Movie night");
            reg.findChild<QSpinBox*>("intervalSpin")->setValue(510);
            modal.whenOpens<app::CInputKeyDlg>([](app::CInputKeyDlg& k) {
                clickInto(edit(k, "sendTextEdit"));
                tap(edit(k, "sendTextEdit"), kF5);
                click(k, "closeButton");
            });
            click(reg, "addButton");
            click(reg, "closeButton");
        });
        click(list, "addButton");
        auto* rows = list.findChild<QTreeWidget*>("macroList");
        ASSERT_EQ(rows->topLevelItemCount(), 1);
        EXPECT_EQ(rows->topLevelItem(0)->text(1), "Movie night");
        EXPECT_EQ(rows->topLevelItem(0)->text(2), "510");
        click(list, "closeButton");
    });
    window->action(CommandId::EditMacro)->trigger();

    // Button 2 runs it: the "Macro" box, toggled as Space or a screen reader does, then the
    // macro chosen in the combo box.
    modal.whenOpens<app::CInputKeyDlg>([](app::CInputKeyDlg& d) {
        d.findChild<QCheckBox*>("macroBox")->toggle();
        auto* combo = d.findChild<QComboBox*>("macroCombo");
        ASSERT_TRUE(combo->isEnabled());
        combo->setCurrentIndex(0);
        click(d, "closeButton");
    });
    doubleClick(list(), 1);
    EXPECT_EQ(rowTexts(1)[2], "[M Movie night]");

    // Renaming with Esc keeps the name; deleting the macro drops button 2's reference.
    dialogs.answer(Answer::Ok);
    modal.whenOpens<app::MacroListDlg>([this](app::MacroListDlg& list) {
        auto* rows = list.findChild<QTreeWidget*>("macroList");
        rows->setCurrentItem(rows->topLevelItem(0));
        modal.whenOpens<app::InputMacro>([](app::InputMacro& reg) {
            edit(reg, "macroNameEdit")->setText("Renamed");
            pressKey(edit(reg, "macroNameEdit"), Qt::Key_Escape);
        });
        click(list, "editButton");
        EXPECT_EQ(rows->topLevelItem(0)->text(1), "Movie night");
        rows->setCurrentItem(rows->topLevelItem(0));
        click(list, "deleteButton");
        EXPECT_EQ(rows->topLevelItemCount(), 0);
        list.reject();
    });
    window->EditMacro();
    EXPECT_EQ(dialogs.shown.back().text,
              "Is No.1 deleted?\n1 button runs this macro; it will send nothing.");
    EXPECT_EQ(rowTexts(1)[2], "") << "the main list follows the macro table";
    // The delete is one step back; the button runs the macro again.
    window->action(CommandId::Undo)->trigger();
    EXPECT_EQ(rowTexts(1)[2], "[M Movie night]");
}

}  // namespace
}  // namespace tessik::test
