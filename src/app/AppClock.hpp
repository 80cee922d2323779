#pragma once
// The application's Clock. Device exchanges block the one UI thread for up to seconds (ten
// retries 100 ms apart, Save's 2 s wait, the firmware update's re-enumeration). While such a
// wait lasts, the event loop keeps running with user input held back: the windows stay painted
// and the window system does not declare the program hung, but no click or key press can start
// a second operation in the middle of the first. Held-back input is delivered afterwards.

#include <cstdint>

#include "core/device/clock.hpp"

namespace tessik::app {

class AppClock : public Clock {
  public:
    std::uint32_t tickMs() override;
    void sleepMs(std::uint32_t ms) override;

    // True while a sleep runs the event loop (a window should not close under it).
    bool sleeping() const { return depth_ > 0; }

  private:
    SteadyClock steady_;
    int depth_ = 0;
};

}  // namespace tessik::app
