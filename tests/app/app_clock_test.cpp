#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include "app/AppClock.hpp"

namespace tessik::test {
namespace {

class PaintCounter : public QWidget {
  public:
    int paints = 0;

  protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

TEST(AppClock, aSleepKeepsTheEventLoopRunningAndLastsItsTime) {
    app::AppClock clock;
    PaintCounter window;
    window.show();
    QCoreApplication::processEvents();
    const int paintsBefore = window.paints;

    bool timerRan = false;
    bool sleepingSeen = false;
    QTimer::singleShot(5, [&] {
        timerRan = true;
        sleepingSeen = clock.sleeping();
        window.update();
    });
    const std::uint32_t start = clock.tickMs();
    clock.sleepMs(60);
    const std::uint32_t slept = clock.tickMs() - start;

    EXPECT_TRUE(timerRan);
    EXPECT_TRUE(sleepingSeen);
    EXPECT_GT(window.paints, paintsBefore) << "the window was repainted during the wait";
    EXPECT_GE(slept, 59u);
    EXPECT_FALSE(clock.sleeping());
}

}  // namespace
}  // namespace tessik::test
