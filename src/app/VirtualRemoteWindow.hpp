#pragma once
// "Virtual Remote": the remote controls the simulated receiver knows, as push buttons. A click
// presses the button in front of the receiver: in capture mode the press fills its capture
// memory (the open capture dialog sees it at its next polls), otherwise the receiver recognises
// it against the table it was sent and types its keys. A log pane tells what each press did;
// "Timing noise" stretches and shrinks every period of a press at random, as a real remote and
// receiver do, so the effect of the jitter setting can be tried. "Unplug" pulls the receiver
// out of the computer and "Plug in" puts it back, as a hand at the USB socket would.
//
// A window of its own, not a child of the main window: the capture dialog is modal to the main
// window only, and the remote must stay usable while it is open.

#include <QWidget>
#include <cstdint>
#include <string_view>

#include "core/text/language.hpp"
#include "sim/ir_reception.hpp"

class QPlainTextEdit;
class QScrollArea;
class QPushButton;
class QSpinBox;

namespace tessik::sim {
class SimulatedReceiver;
}

namespace tessik::app {

class VirtualRemoteWindow : public QWidget {
    Q_OBJECT
  public:
    VirtualRemoteWindow(sim::SimulatedReceiver& receiver, Language language,
                        QWidget* parent = nullptr);

    // Presses `button` of `remote` (a name from sim::knownRemotes()) and logs what happened,
    // as a click on its push button does.
    void press(const sim::VirtualRemote& remote, std::string_view button);

    // Its whole content without scrolling; it can be made as small as its minimum size.
    QSize sizeHint() const override;
    // Unplug, or Plug in while the receiver is out.
    void togglePlug();
    // The button says what it would do now (the receiver may also have gone by a fault).
    void showPlugState();

  private:
    sim::SimulatedReceiver& receiver_;
    sim::IrReception reception_;
    Language language_;
    QSpinBox* noise_;
    QPlainTextEdit* log_;
    QScrollArea* scroll_ = nullptr;
    QPushButton* plug_;
    std::uint32_t seed_ = 1;  // a new one for every press, the same run after run
};

}  // namespace tessik::app
