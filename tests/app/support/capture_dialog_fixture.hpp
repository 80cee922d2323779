#pragma once
// A main window on a plugged simulated receiver, a new table, and the Ir Data Capture dialog
// driven from its own timer: presses are made in front of the receiver and the dialog's polls
// run at once instead of waiting out the 350 ms timer.

#include <QTimer>
#include <memory>
#include <optional>

#include "app/Capture_w.hpp"
#include "app/support/main_window_fixture.hpp"
#include "sim/ir_reception.hpp"
#include "sim/remotes.hpp"

namespace tessik::test {

class CaptureDialog : public MainWindowTest {
  protected:
    void SetUp() override {
        plug(kProductIdNormal);
        openWindow();
        window->startUp();
        startNew("TV");
        dialogs.clearShown();
        reception = std::make_unique<sim::IrReception>(*receiver);
    }

    // The dialog's polls, 350 ms apart on the receiver's clock, while the timer runs: long
    // enough for a press made now to be read.
    void poll(QDialog& d, int times = 3) {
        auto* timer = d.findChild<QTimer*>();
        for (int n = 0; n < times && timer->isActive(); ++n) {
            clock.advance(kCapturePollMs);
            QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
        }
    }

    // One press, then the dialog's polls until it has been read.
    void press(QDialog& d, const sim::VirtualRemote& remote, std::string_view button,
               std::optional<sim::TimingNoise> noise = std::nullopt) {
        ASSERT_EQ(reception->press(remote, button, noise).heard, sim::Heard::Captured);
        poll(d);
    }

    void capture(std::function<void(app::Capture_w&)> act) {
        modal.whenOpens<app::Capture_w>(act);
        const int before = modal.acted;
        window->action(CommandId::Capture)->trigger();
        EXPECT_EQ(modal.acted, before + 1);
    }

    std::unique_ptr<sim::IrReception> reception;
};

}  // namespace tessik::test
