#pragma once
// The capture session: the rules of the "Ir Data Capture" dialog, without its widgets.
//
// The user presses each remote-control button twice. While the dialog waits, a one-shot 350 ms
// timer polls the receiver with Start Capture; once the entry count of a press is above 10 and
// has stopped growing, the session fetches the periods with the two Get Capture commands,
// decodes them, checks the code and compares it with the first press. A code seen twice is
// offered; Next stores it with the typed comment in the first free slot and waits for the next
// button, Close leaves capture mode (storing a confirmed code that Next has not stored yet).
//
// The dialog forwards its events here (shown, the timer, Next, Close) and implements
// CaptureView; every device exchange is made on the caller's thread, blocking, as in the
// dialog's own handlers.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "core/analysis/signal_trace.hpp"
#include "core/analysis/tolerance.hpp"
#include "core/capture/capture_exchange.hpp"
#include "core/capture/capture_view.hpp"
#include "core/device/commands.hpp"
#include "core/device/log_sink.hpp"
#include "core/device/notifier.hpp"
#include "core/model/remote_model.hpp"
#include "core/text/language.hpp"
#include "core/text/strings.hpp"

namespace tessik {

inline constexpr std::uint32_t kCapturePollMs = 350;
// A count of this many entries or fewer is not a press yet (noise, a press still arriving).
inline constexpr std::uint16_t kMinCaptureEntries = 10;
// How often Get Capture 0x23 is sent while the device answers with another code's echo; then
// the read counts as failed.
inline constexpr int kLowPeriodReadTries = 10;

enum class CaptureState {
    FirstPress,   // polling; waiting for the first press of a button
    SecondPress,  // polling; waiting for the same button again
    Confirmed,    // both presses gave the same code; Next is enabled
    Full,         // the last free slot was filled; only Close is left
    Stopped,      // the Start Capture poll failed on the link, or the receiver left; no polling
    Closed,
};

class CaptureSession {
  public:
    // `commands` sends CaptureMode; `link` carries the capture commands themselves; both log to
    // `log`. Texts and message boxes are in `language`.
    CaptureSession(CUsbhidioc& link, DeviceCommands& commands, LogSink& log, RemoteModel& model,
                   CaptureView& view, Notifier& notifier, Language language);

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
    const std::string& prompt() const { return prompt_; }
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

    Outcome getCapture();
    std::optional<std::vector<std::uint16_t>> readLowPeriods();
    std::optional<std::vector<std::uint16_t>> readHighPeriods();
    void readFailed();
    bool failed();
    void captureMode(std::uint8_t on);
    Outcome judge(std::uint16_t pairCount, const std::vector<std::uint16_t>& low,
                  const std::vector<std::uint16_t>& high);
    Outcome refuse(StringId text, MessageKind kind);
    void afterFetch(Outcome outcome);
    void waitForFirstPress();
    bool tableFull(std::size_t slot) const;
    std::size_t storeHeld();

    void startTimer();
    void stopTimer();
    void refresh();
    void setTexts(StringId prompt, StringId result);
    void analyseConfirmed();
    RemoteHeader headerWith(std::initializer_list<const CodeRecord*> codes) const;
    void tracePress(const std::vector<std::uint16_t>& low, const std::vector<std::uint16_t>& high);
    void showPresses(std::vector<SignalTrace> presses);

    CaptureExchange exchange_;
    DeviceCommands& commands_;
    LogSink& log_;
    RemoteModel& model_;
    CaptureView& view_;
    Notifier& notifier_;
    Language language_;

    std::optional<double> widestStoredSpread_;
    CaptureState state_ = CaptureState::FirstPress;
    CodeRecord held_{};
    std::optional<CodeRecord> firstCapture_;
    std::uint16_t previousCount_ = 0;
    bool timerRunning_ = false;
    bool nextEnabled_ = false;
    bool gone_ = false;
    std::string prompt_;
    std::string result_;
    std::optional<PressSpread> spread_;
    SignalTrace lastPress_;
    SignalTrace firstPress_;
    std::vector<SignalTrace> presses_;
    std::string analysis_;
    std::string warning_;
};

}  // namespace tessik
