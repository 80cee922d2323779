#include "app/RowKeys.hpp"

#include <QAbstractItemView>
#include <QKeyEvent>

namespace tessik::app {

RowKeys::RowKeys(QAbstractItemView* view, Actions actions)
    : QObject(view), view_(view), actions_(std::move(actions)) {
    view_->installEventFilter(this);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (actions_.menu) actions_.menu(at);
    });
}

QPoint RowKeys::currentRowPoint() const {
    const QRect row = view_->visualRect(view_->currentIndex());
    return row.isValid() ? row.bottomLeft() : QPoint(0, 0);
}

bool RowKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched != view_ || event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    const auto run = [](const std::function<void()>& f) {
        if (f) f();
        return true;
    };
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_F2:
            return mods == Qt::NoModifier && run(actions_.edit);
        case Qt::Key_Delete:
            return mods == Qt::NoModifier && run(actions_.remove);
        case Qt::Key_Menu:
            if (actions_.menu) actions_.menu(currentRowPoint());
            return true;
        case Qt::Key_F10:
            if (mods != Qt::ShiftModifier) return false;
            if (actions_.menu) actions_.menu(currentRowPoint());
            return true;
        default:
            return false;
    }
}

}  // namespace tessik::app
