#include "app/DeviceMonitor.hpp"

#include <QSocketNotifier>
#include <QTimer>

namespace tessik::app {

DeviceMonitor::DeviceMonitor(std::unique_ptr<DeviceWatcher> watcher, Changed changed, bool wakeUp,
                             QObject* parent)
    : QObject(parent), watcher_(std::move(watcher)), changed_(std::move(changed)) {
    watcher_->present();  // where the changes start from
    if (!wakeUp) return;
    if (watcher_->descriptor() >= 0) {
        notifier_ = new QSocketNotifier(watcher_->descriptor(), QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, [this] { check(); });
    } else if (watcher_->pollIntervalMs() > 0) {
        timer_ = new QTimer(this);
        connect(timer_, &QTimer::timeout, this, [this] { check(); });
        timer_->start(static_cast<int>(watcher_->pollIntervalMs()));
    }
}

DeviceMonitor::~DeviceMonitor() = default;

void DeviceMonitor::check() {
    std::vector<DeviceChange> changes = watcher_->changes();
    if (!changes.empty() && changed_) changed_(std::move(changes));
}

}  // namespace tessik::app
