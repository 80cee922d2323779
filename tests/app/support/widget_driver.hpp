#pragma once
// Helpers for driving widgets in tests: answering modal dialogs from zero-delay timers (the
// dialog's own event loop runs them), pressing keys, reading the menu's states.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTimer>
#include <functional>
#include <ostream>

#include "app/CTessikDlg.hpp"

namespace tessik::test {

// Acts on the next modal dialog of type Dialog once its event loop runs. Timers still pending
// when the driver goes away (a dialog that never opened) are dropped with it.
class ModalDriver {
  public:
    template <typename Dialog>
    void whenOpens(std::function<void(Dialog&)> act) {
        poll<Dialog>(std::move(act), kAttempts);
    }

    int acted = 0;

  private:
    static constexpr int kAttempts = 50;

    template <typename Dialog>
    void poll(std::function<void(Dialog&)> act, int attemptsLeft) {
        QTimer::singleShot(
            attemptsLeft == kAttempts ? 0 : 10, &context_, [this, act, attemptsLeft] {
                if (auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
                    ++acted;
                    act(*d);
                    return;
                }
                if (attemptsLeft > 0) {
                    poll<Dialog>(act, attemptsLeft - 1);
                    return;
                }
                ADD_FAILURE() << "the expected modal dialog did not open";
                if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                    other->reject();
                }
            });
    }

    QObject context_;
};

inline void pressKey(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

template <typename Button = QAbstractButton>
void click(QWidget& parent, const char* objectName) {
    auto* button = parent.findChild<Button*>(QString::fromLatin1(objectName));
    ASSERT_NE(button, nullptr) << objectName;
    button->click();
}

// The enabled states of the menu's model commands, as the window shows them.
inline CommandStates menuStates(const app::CTessikDlg& w) {
    CommandStates s;
    s.save = w.action(CommandId::Save)->isEnabled();
    s.saveAs = w.action(CommandId::SaveAs)->isEnabled();
    s.capture = w.action(CommandId::Capture)->isEnabled();
    s.deleteIr = w.action(CommandId::DeleteIr)->isEnabled();
    s.setUp = w.action(CommandId::SetUp)->isEnabled();
    s.editMacro = w.action(CommandId::EditMacro)->isEnabled();
    s.jitter = w.action(CommandId::Jitter)->isEnabled();
    return s;
}

}  // namespace tessik::test

namespace tessik {

inline std::ostream& operator<<(std::ostream& os, const CommandStates& s) {
    return os << "{save " << s.save << ", saveAs " << s.saveAs << ", capture " << s.capture
              << ", delete " << s.deleteIr << ", setUp " << s.setUp << ", editMacro " << s.editMacro
              << ", jitter " << s.jitter << "}";
}

}  // namespace tessik
