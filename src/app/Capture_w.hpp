#pragma once
// "Ir Data Capture": teaches the tool one remote-control button after another. Every rule
// (polling the receiver, the two presses, the refusals, storing, what a confirmed code is
// told with) is CaptureSession's; this window gives it a prompt, a result text with the
// analysis lines under it, the pulse trains of the presses, the Comment edit, Next and Close,
// and a one-shot timer for its polls.

#include <QDialog>
#include "core/capture/capture_session.hpp"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace tessik::app {

class SignalView;

class Capture_w : public QDialog, public CaptureView {
    Q_OBJECT
  public:
    // The session stores each confirmed code into `model`; the main window follows the model.
    // With `recapture`, it captures a new code for that row (Edit > Re-capture).
    Capture_w(CUsbhidioc& link, DeviceCommands& commands, LogSink& log, RemoteModel& model,
              Notifier& notifier, Language language,
              std::optional<std::size_t> recapture = std::nullopt, QWidget* parent = nullptr);

    const CaptureSession& session() const { return session_; }

    // CaptureView
    void setPrompt(std::string_view text) override;
    void setResult(std::string_view text) override;
    void setAnalysis(std::string_view code, std::string_view warning) override;
    void setSignal(std::span<const SignalTrace> presses) override;
    void setNextEnabled(bool enabled) override;
    void setComment(std::u16string_view text) override;
    void focusComment() override;
    std::u16string comment() const override;
    void startTimer(std::uint32_t ms) override;
    void stopTimer() override;

    // Escape, the close box and Close all leave capture mode through the session.
    void reject() override;

    // The receiver has left the bus: the capture ends (CaptureSession::deviceLeft).
    void deviceLeft() { session_.deviceLeft(); }

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Next();

    QLabel* prompt_;
    QLabel* result_;
    QLabel* analysis_;
    QLabel* warning_;
    SignalView* signal_;
    QLineEdit* comment_;
    QPushButton* next_;
    QTimer* timer_;
    CaptureSession session_;
};

}  // namespace tessik::app
