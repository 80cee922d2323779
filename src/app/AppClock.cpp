#include "app/AppClock.hpp"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace tessik::app {

std::uint32_t AppClock::tickMs() {
    return steady_.tickMs();
}

void AppClock::sleepMs(std::uint32_t ms) {
    if (QCoreApplication::instance() == nullptr) {
        steady_.sleepMs(ms);
        return;
    }
    ++depth_;
    QDeadlineTimer deadline(static_cast<qint64>(ms), Qt::PreciseTimer);
    do {
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(deadline.remainingTime()), Qt::PreciseTimer, &loop,
                           &QEventLoop::quit);
        // An application that is already quitting refuses new event loops; then just wait.
        if (loop.exec(QEventLoop::ExcludeUserInputEvents) < 0) {
            steady_.sleepMs(static_cast<std::uint32_t>(deadline.remainingTime()));
        }
    } while (!deadline.hasExpired());
    --depth_;
}

}  // namespace tessik::app
