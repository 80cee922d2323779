#pragma once
// The capture session: the rules of the "Ir Data Capture" dialog, without its widgets.
//
// The user presses each remote-control button twice. While the dialog waits, a one-shot 350 ms
// timer polls the receiver (CaptureReader); each press read is decoded, checked and compared
// with the first press. A code seen twice is offered; Next stores it with the typed comment in
// the first free slot and waits for the next button, Close leaves capture mode (storing a
// confirmed code that Next has not stored yet).
//
// The same dialog captures the code of an existing row again: the row keeps its keys and
// comment and gets the new code in place of the old (RemoteModel::recaptureCode). It is opened
// for a row, or entered from the refusal of a code whose length differs from the table's first
// row, which offers to capture that row again.
//
// The dialog forwards its events here (shown, the timer, Next, Close) and implements
// CaptureView; every device exchange is made on the caller's thread, blocking, as in the
// dialog's own handlers.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/signal_trace.hpp"
#include "core/analysis/tolerance.hpp"
#include "core/capture/capture_reader.hpp"
#include "core/capture/capture_view.hpp"
#include "core/device/commands.hpp"
#include "core/device/log_sink.hpp"
#include "core/device/notifier.hpp"
#include "core/model/remote_model.hpp"
#include "core/text/language.hpp"
#include "core/text/strings.hpp"

namespace tessik {

enum class CaptureState {
    FirstPress,   // polling; waiting for the first press of a button
    SecondPress,  // polling; waiting for the same button again
    Confirmed,    // both presses gave the same code; Next is enabled
    Full,         // the last free slot was filled; only Close is left
    Recaptured,   // the row the dialog was opened for has its new code; only Close is left
    Stopped,      // the Start Capture poll failed on the link, or the receiver left; no polling
    Closed,
};

// The length the table's codes have: that of its first code, `except` (a row being captured
// again) aside. Nothing for a table without other codes. One set of timing windows serves the
// whole table, so every code must be as long as this.
std::optional<std::uint16_t> tableCodeLength(const RemoteModel& model,
                                             std::optional<std::size_t> except = std::nullopt);
// The occupied rows, `except` aside, whose codes are not `bits` long.
std::vector<std::size_t> rowsOfOtherLength(const RemoteModel& model, std::uint16_t bits,
                                           std::optional<std::size_t> except = std::nullopt);

class CaptureSession {
  public:
    // `commands` sends CaptureMode; `link` carries the capture commands themselves; both log to
    // `log`. Texts and message boxes are in `language`. With `recapture`, the dialog captures a
    // new code for that occupied row instead of adding rows.
    CaptureSession(CUsbhidioc& link, DeviceCommands& commands, LogSink& log, RemoteModel& model,
                   CaptureView& view, Notifier& notifier, Language language,
                   std::optional<std::size_t> recapture = std::nullopt);

    // The window was shown (or hidden): starts over at the first press and starts polling.
    void shown();
    // The poll timer ran out. Ignored unless the session started it.
    void timerFired();
    // Next: stores the confirmed code with the comment and waits for the next button. Ignored
    // while Next is disabled.
    void next();
    // Close (also Escape and the close box): leaves capture mode and stops polling.
    void close();
    // The receiver has left the bus (the window's device watcher saw it go, or an exchange
    // found it gone): the capture ends with one message, the prompt stops asking for a press,
    // and what the table holds stays. A code already confirmed is still stored by Close.
    void deviceLeft();
    bool receiverGone() const { return gone_; }

    CaptureState state() const { return state_; }
    bool polling() const { return timerRunning_; }
    bool nextEnabled() const { return nextEnabled_; }
    // The row whose code is being captured again, if any.
    std::optional<std::size_t> recapturing() const { return target_; }
    // The prompt as shown: the state's, or that a press is coming in.
    const std::string& prompt() const { return shownPrompt_; }
    const std::string& result() const { return result_; }
    // The record of the latest decode (cleared at every poll and after every refusal) and the
    // first press of the current button.
    const CodeRecord& heldRecord() const { return held_; }
    const std::optional<CodeRecord>& firstCapture() const { return firstCapture_; }
    // How far the two presses of the last confirmed code spread; kept until the next code
    // is confirmed, so it outlives Next.
    const std::optional<PressSpread>& pressSpread() const { return spread_; }
    // The widest spread of the codes this session stored, for the jitter dialog's suggestion.
    std::optional<double> widestStoredSpread() const { return widestStoredSpread_; }
    // What the view draws: the last press, or both presses of the confirmed code, each period
    // against the windows the table would get from the button's first press at the jitter.
    const std::vector<SignalTrace>& presses() const { return presses_; }

  private:
    enum class Outcome { Retry, FirstPressAccepted, Confirmed };
    // Why a press was refused: the box, and whether it offers to capture row `offer` again.
    struct Refusal {
        Message message;
        std::optional<std::size_t> offer;
    };

    void readPresses();
    Outcome judge(std::span<const std::uint16_t> low, std::span<const std::uint16_t> high);
    Outcome refuse(StringId text, MessageKind kind, std::string more = {});
    Outcome refuseLength();
    void confirm();
    void retry();
    void waitForPress();
    void waitForFirstPress(std::u16string_view comment);
    void recapture(std::size_t slot);
    bool tableFull(std::size_t slot) const;
    std::size_t storeHeld();

    void startTimer();
    void stopTimer();
    void refresh();
    void setTexts(StringId prompt, StringId result);
    void setShownPrompt(const std::string& prompt);
    void analyseConfirmed();
    RemoteHeader headerWith(std::initializer_list<const CodeRecord*> codes) const;
    void tracePress(std::span<const std::uint16_t> low, std::span<const std::uint16_t> high);
    void showPresses(std::vector<SignalTrace> presses);

    CaptureReader reader_;
    DeviceCommands& commands_;
    RemoteModel& model_;
    CaptureView& view_;
    Notifier& notifier_;
    Language language_;

    // The row captured again, and whether the dialog was opened for it (else it was offered by
    // a refusal, and the capture of new rows goes on once it is stored).
    std::optional<std::size_t> target_;
    bool openedForRow_ = false;
    std::u16string setAsideComment_;  // the comment typed for a new row while row 1 is redone

    std::optional<double> widestStoredSpread_;
    CaptureState state_ = CaptureState::FirstPress;
    CodeRecord held_{};
    std::optional<CodeRecord> firstCapture_;
    std::optional<Refusal> refusal_;
    bool timerRunning_ = false;
    bool nextEnabled_ = false;
    bool gone_ = false;
    std::string prompt_;  // the state's prompt
    std::string shownPrompt_;
    std::string result_;
    std::optional<PressSpread> spread_;
    SignalTrace lastPress_;
    SignalTrace firstPress_;
    std::vector<SignalTrace> presses_;
    std::string analysis_;
    std::string warning_;
};

}  // namespace tessik
