#pragma once
// Time for everything that waits: link retries, Save's two seconds, the firmware update's
// re-enumeration. Tests use FakeClock and run instantly.

#include <cstdint>
#include <functional>

namespace tessik {

class Clock {
  public:
    virtual ~Clock() = default;
    // A millisecond tick that wraps at 2^32, like the platform tick the device protocol was
    // written against.
    virtual std::uint32_t tickMs() = 0;
    virtual void sleepMs(std::uint32_t ms) = 0;
};

// The machine's monotonic clock.
class SteadyClock : public Clock {
  public:
    std::uint32_t tickMs() override;
    void sleepMs(std::uint32_t ms) override;
};

// A clock that only moves when told: sleepMs advances it at once. `tickStep` makes every
// tickMs() call advance it too, so a loop that polls until a deadline ends without sleeping.
class FakeClock : public Clock {
  public:
    explicit FakeClock(std::uint32_t start = 0, std::uint32_t tickStep = 0)
        : now_(start), tickStep_(tickStep) {}

    std::uint32_t tickMs() override {
        const std::uint32_t t = now_;
        now_ += tickStep_;
        return t;
    }
    void sleepMs(std::uint32_t ms) override {
        now_ += ms;
        slept_ += ms;
        if (onSleep) onSleep(ms);
    }

    std::uint32_t now() const { return now_; }
    void advance(std::uint32_t ms) { now_ += ms; }
    void setTickStep(std::uint32_t step) { tickStep_ = step; }
    std::uint64_t totalSlept() const { return slept_; }

    // Called after every sleep (a simulator can let its own time-driven events happen).
    std::function<void(std::uint32_t)> onSleep;

  private:
    std::uint32_t now_;
    std::uint32_t tickStep_;
    std::uint64_t slept_ = 0;
};

}  // namespace tessik
