#pragma once
// Drives a DeviceWatcher from the event loop: a socket notifier on its descriptor (Linux: the
// udev monitor), or a timer for a watcher that compares enumerations (the simulated receiver).
// A Windows watcher, which has neither, is woken by WM_DEVICECHANGE: a native event filter
// installed beside this monitor calls check() when the message arrives.

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

#include "core/device/device_watcher.hpp"

class QSocketNotifier;
class QTimer;

namespace tessik::app {

class DeviceMonitor : public QObject {
    Q_OBJECT
  public:
    using Changed = std::function<void(std::vector<DeviceChange>)>;
    // `changed` gets what arrived and left, whenever something did. Without `wakeUp` nothing
    // looks by itself: only check() does.
    DeviceMonitor(std::unique_ptr<DeviceWatcher> watcher, Changed changed, bool wakeUp,
                  QObject* parent = nullptr);
    ~DeviceMonitor() override;

    // Reads what the watcher has and hands it on.
    void check();

  private:
    std::unique_ptr<DeviceWatcher> watcher_;
    Changed changed_;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* timer_ = nullptr;
};

}  // namespace tessik::app
