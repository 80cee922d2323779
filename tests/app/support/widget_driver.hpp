#pragma once
// Answering modal dialogs from timers (their own event loop runs them), pressing keys and
// buttons, reading the menu's states.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTimer>
#include <functional>

#include "app/CTessikDlg.hpp"

namespace tessik::test {

// Acts on the next modal dialog of type Dialog once its event loop runs. Timers still pending
// when the driver goes away (a dialog that never opened) are dropped with it.
class ModalDriver {
  public:
    template <typename Dialog>
    void whenOpens(std::function<void(Dialog&)> act, int attemptsLeft = 50) {
        QTimer::singleShot(attemptsLeft == 50 ? 0 : 10, &context_, [this, act, attemptsLeft] {
            if (auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
                ++acted;
                act(*d);
            } else if (attemptsLeft > 0) {
                whenOpens<Dialog>(act, attemptsLeft - 1);
            } else {
                ADD_FAILURE() << "the expected modal dialog did not open";
                if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                    other->reject();
            }
        });
    }

    int acted = 0;

  private:
    QObject context_;
};

// A key as the keyboard sends it: a printable one carries its text.
inline void pressKey(QWidget* target, int key) {
    const QString text = key >= 0x20 && key < 0x7F ? QString(QChar(key)) : QString();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

inline void click(QWidget& parent, const char* objectName) {
    auto* button = parent.findChild<QAbstractButton*>(QString::fromLatin1(objectName));
    ASSERT_NE(button, nullptr) << objectName;
    button->click();
}

// The enabled states of the menu's model commands, as the window shows them.
inline CommandStates menuStates(const app::CTessikDlg& w) {
    auto on = [&w](CommandId id) { return w.action(id)->isEnabled(); };
    return {on(CommandId::Save),     on(CommandId::SaveAs),     on(CommandId::Capture),
            on(CommandId::DeleteIr), on(CommandId::SetUp),      on(CommandId::EditMacro),
            on(CommandId::Jitter),   on(CommandId::GuidedSetUp)};
}

}  // namespace tessik::test
