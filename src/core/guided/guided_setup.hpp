#pragma once
// The guided set-up: the remote gets a name, a key layout says what each button role types,
// and the user presses each button it asks for ("Press Vol+ on your remote"), twice, as the
// capture always asks. Each button is stored with its role's keys and its role's name as the
// comment, so the table is ready to write into the receiver at the end.
//
// The presses go through the capture session, with its rules: two presses compared, the
// length and duplicate refusals (a press of a button an earlier step has taught is refused
// with the row, whose comment is that step's role). When the length refusal's offer to
// capture the table's first row again is taken, the step asks for that row's button first; the
// row keeps its keys and comment. A step can be skipped, or re-taught with Back. The whole run is
// one undoable edit of the model; Cancel leaves the table as it was.
//
// The window shows the pages (the choice, one step per role, the end) and forwards its events
// here; the capture's texts and timer go through GuidedSetUpView as the capture dialog's go
// through CaptureView.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/capture/capture_session.hpp"
#include "core/layouts/key_layout.hpp"
#include "core/model/remote_model.hpp"

namespace tessik {

enum class GuidedPage {
    Choose,  // the name, the layout, the roles
    Step,    // one role: press its button twice
    End,     // the table, the tolerance check, Set Up Data, Save As
    Done,    // finished: the run is one step of the undo history
    Cancelled,
};

struct GuidedStep {
    LayoutRole role;
    std::optional<std::size_t> slot;  // the row its button went to, once taught
    bool skipped = false;
};

class GuidedSetUpView {
  public:
    virtual ~GuidedSetUpView() = default;
    // The capture's own lines under the step's prompt, as CaptureView has them.
    virtual void setCapturePrompt(std::string_view text) = 0;
    virtual void setCaptureResult(std::string_view text) = 0;
    virtual void setAnalysis(std::string_view code, std::string_view warning) = 0;
    virtual void setSignal(std::span<const SignalTrace> presses) = 0;
    // The capture's one-shot poll timer: GuidedSetUp::timerFired() when `ms` have passed.
    virtual void startTimer(std::uint32_t ms) = 0;
    virtual void stopTimer() = 0;
    // The page or the step changed: the window shows them again from the set-up's state.
    virtual void changed() = 0;
};

class GuidedSetUp {
  public:
    GuidedSetUp(CUsbhidioc& link, DeviceCommands& commands, LogSink& log, RemoteModel& model,
                GuidedSetUpView& view, Notifier& notifier, Language language);
    // A run neither finished nor cancelled is cancelled.
    ~GuidedSetUp();
    GuidedSetUp(const GuidedSetUp&) = delete;
    GuidedSetUp& operator=(const GuidedSetUp&) = delete;

    // --- The choice ---------------------------------------------------------------------------
    // A run needs the remote's name and at least one role.
    static bool canStart(std::u16string_view name, std::size_t chosenRoles);
    // Names the table and starts teaching the roles of `layout` whose ids `chosen` holds, in
    // the layout's order. False, with the receiver's outcome told, when it cannot be put into
    // capture mode; nothing has changed then.
    bool start(std::u16string_view name, const KeyLayout& layout,
               const std::vector<std::string>& chosen);

    // --- The steps ----------------------------------------------------------------------------
    void timerFired();
    // The current role is not taught; the next one is asked for.
    void skip();
    // None of the roles left is taught: on to the end.
    void skipRest();
    // Back to the step before (from the end: the last step shown), which is taught anew: its
    // button, if it had one, leaves the table.
    void back();
    bool backEnabled() const;

    // --- The end ------------------------------------------------------------------------------
    // The run becomes one step of the undo history.
    void finish();
    // Everything the run did is taken back.
    void cancel();
    // The receiver left: the capture ends (CaptureSession::deviceLeft).
    void deviceLeft();

    GuidedPage page() const { return page_; }
    const std::vector<GuidedStep>& steps() const { return steps_; }
    std::size_t stepIndex() const { return index_; }
    const CaptureSession* session() const { return session_.get(); }
    // The widest spread of two presses among the buttons taught, for the jitter's advice.
    std::optional<double> widestSpread() const;

    // "Press Vol+ on your remote", "It will type: [LCTRL][UP]", "Button 3 of 20"; while a row
    // is captured again, the row's prompt and no keys.
    std::string stepPrompt() const;
    std::string stepKeys() const;
    std::string stepCounter() const;
    // The end page: a step's row ("No 3") or that it was skipped; the tolerance check of the
    // whole table at its jitter, with the jitter's advice from the presses' spread.
    std::string stepResult(const GuidedStep& step) const;
    std::string toleranceText() const;

  private:
    class CaptureAdapter;

    void openCapture();
    void restartCapture();
    void closeCapture();
    void enterStep(std::size_t index);
    void store();
    void advance();
    void endTeaching();

    CUsbhidioc& link_;
    DeviceCommands& commands_;
    LogSink& log_;
    RemoteModel& model_;
    GuidedSetUpView& view_;
    Notifier& notifier_;
    Language language_;

    std::unique_ptr<CaptureAdapter> adapter_;
    std::unique_ptr<CaptureSession> session_;
    std::optional<double> widestSpread_;  // of the sessions closed so far
    std::optional<RemoteModel::EditGroup> group_;
    std::vector<GuidedStep> steps_;
    std::vector<RemoteModel::EditGroup::Mark> marks_;  // the model as each step began
    std::size_t index_ = 0;
    GuidedPage page_ = GuidedPage::Choose;
};

}  // namespace tessik
