#pragma once
// What the capture session needs from its window. The "Ir Data Capture" dialog implements it
// by wiring each call to a widget; it decides nothing itself. Message boxes go through the
// Notifier the session is given, not through the view.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/analysis/signal_trace.hpp"

namespace tessik {

class CaptureView {
  public:
    virtual ~CaptureView() = default;

    // The centred prompt above (static 1053) and the text after "Result:" (static 1028).
    virtual void setPrompt(std::string_view text) = 0;
    virtual void setResult(std::string_view text) = 0;
    // Under the result, after a confirmed code: its protocol and how far the two presses
    // differ, and a warning when they differ by more than the jitter (empty when not). Both
    // are emptied when the next button is awaited.
    virtual void setAnalysis(std::string_view code, std::string_view warning) = 0;
    // The pulse trains under the texts: the last press, or both presses of a confirmed code
    // (the first press first); none while a button is awaited.
    virtual void setSignal(std::span<const SignalTrace> presses) = 0;
    // The Next button (1001).
    virtual void setNextEnabled(bool enabled) = 0;
    // The Comment edit (1007, at most 128 characters): filled (emptied once a code is stored,
    // a row's own comment when its code is captured again), focused, read when a code is
    // stored.
    virtual void setComment(std::u16string_view text) = 0;
    virtual void focusComment() = 0;
    virtual std::u16string comment() const = 0;
    // The poll timer, one-shot: when `ms` have passed, the window calls
    // CaptureSession::timerFired() once. Starting it again restarts it; stopping an idle timer
    // does nothing.
    virtual void startTimer(std::uint32_t ms) = 0;
    virtual void stopTimer() = 0;
};

}  // namespace tessik
