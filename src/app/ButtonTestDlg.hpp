#pragma once
// "Test Buttons": which row of the table each remote-control button is. The rules (reading the
// presses, looking each one up, what the line says) are ButtonTestSession's; this window shows
// its prompt and a list of the presses, the newest last, and a one-shot timer for its polls.
// The row of a press is selected in the main list through the callback it is given, so the
// window stands beside the main window rather than over it.

#include <QDialog>
#include <functional>

#include "core/capture/button_test.hpp"

class QLabel;
class QListWidget;
class QTimer;

namespace tessik::app {

class ButtonTestDlg : public QDialog, public ButtonTestView {
    Q_OBJECT
  public:
    // The caller has put the receiver into capture mode; Close and Escape take it out.
    ButtonTestDlg(CUsbhidioc& link, DeviceCommands& commands, LogSink& log,
                  const RemoteModel& model, Notifier& notifier, Language language,
                  std::function<void(std::size_t)> showRow, QWidget* parent = nullptr);

    const ButtonTestSession& session() const { return session_; }

    // ButtonTestView
    void setPrompt(std::string_view text) override;
    void addLine(std::string_view text) override;
    void showRow(std::size_t slot) override;
    void startTimer(std::uint32_t ms) override;
    void stopTimer() override;

    void reject() override;
    // The receiver has left the bus: the test ends (ButtonTestSession::deviceLeft).
    void deviceLeft() { session_.deviceLeft(); }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QLabel* prompt_;
    QListWidget* lines_;
    QTimer* timer_;
    std::function<void(std::size_t)> showRow_;
    ButtonTestSession session_;
};

}  // namespace tessik::app
