#pragma once
// Key events as the X11 platform delivers them: the Qt key and text, plus the XKB keycode as
// the native scan code and the keysym as the native virtual key. The send-string editor reads
// only the native codes, so these are what a real keyboard on an X display produces.

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace tessik::test {

struct XKey {
    int qtKey;
    quint32 keycode;  // evdev code + 8
    quint32 keysym;
    QString text;  // what the key types without Ctrl, Alt or the Windows key
};

namespace x11 {
inline const XKey LeftCtrl{Qt::Key_Control, 37, 0xFFE3, {}};
inline const XKey Tab{Qt::Key_Tab, 23, 0xFF09, QStringLiteral("\t")};
inline const XKey Enter{Qt::Key_Return, 36, 0xFF0D, QStringLiteral("\r")};
inline const XKey Escape{Qt::Key_Escape, 9, 0xFF1B, QStringLiteral("\x1b")};
inline const XKey Right{Qt::Key_Right, 114, 0xFF53, {}};
inline const XKey F5{Qt::Key_F5, 71, 0xFFC2, {}};
inline const XKey Yen{Qt::Key_yen, 132, 0x00A5, QStringLiteral("¥")};  // JIS keyboard
inline XKey letter(char c, quint32 keycode) {
    return {Qt::Key_A + (c - 'a'), keycode, static_cast<quint32>(c), QString(QChar(c))};
}
}  // namespace x11

inline void sendKey(QWidget* target, QEvent::Type type, const XKey& k, Qt::KeyboardModifiers held) {
    // Qt reports the control character of a Ctrl chord, as X11 does.
    QString text = k.text;
    if ((held & Qt::ControlModifier) && text.size() == 1 && text[0].isLetter())
        text = QString(QChar(text[0].toUpper().unicode() - u'A' + 1));
    QKeyEvent e(type, k.qtKey, held, k.keycode, k.keysym, 0, text);
    QApplication::sendEvent(target, &e);
}
inline void keyDown(QWidget* target, const XKey& k, Qt::KeyboardModifiers held = {}) {
    sendKey(target, QEvent::KeyPress, k, held);
}
inline void keyUp(QWidget* target, const XKey& k, Qt::KeyboardModifiers held = {}) {
    sendKey(target, QEvent::KeyRelease, k, held);
}
inline void tap(QWidget* target, const XKey& k, Qt::KeyboardModifiers held = {}) {
    keyDown(target, k, held);
    keyUp(target, k, held);
}

}  // namespace tessik::test
