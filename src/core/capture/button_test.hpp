#pragma once
// Test Buttons: which row of the table a remote-control button is, shown as the user presses
// it.
//
// The receiver listens in capture mode the whole time, so a press types nothing into the
// desktop; each press is read as the capture reads it (CaptureReader), decoded and looked up in
// the table. The row it is gets selected in the main list, and a line tells what the receiver
// would do with it ("No 3 Up: types [UP]"), or why the table has no row for it. The dialog
// forwards its events here and implements ButtonTestView.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/capture/capture_reader.hpp"
#include "core/device/commands.hpp"
#include "core/device/log_sink.hpp"
#include "core/device/notifier.hpp"
#include "core/model/remote_model.hpp"
#include "core/text/language.hpp"

namespace tessik {

struct PressLookup {
    enum class Verdict {
        Found,        // `slot` holds the code
        NotInTable,   // a code like the table's, but no row holds it
        OtherLength,  // its length is not the table's (`tableBits`)
        OtherRemote,  // the receiver would not take its leader or timings, or its protocol or
                      // address is none of the table's
    };
    Verdict verdict = Verdict::NotInTable;
    std::size_t slot = 0;
    std::uint16_t tableBits = 0;
    bool operator==(const PressLookup&) const = default;
};

// Where a decoded press stands in the table, judged as the receiver would read it with the
// table's windows at its jitter.
PressLookup lookUpPress(const RemoteModel& model, const CodeRecord& press);

// The line for a press: "No 3 Up: types [UP]", "No 5 Movie: macro 2 (Movie night)",
// "0x20DF10EF: not in this table (another remote: SIRC 12, ...)".
std::string pressLookupText(const RemoteModel& model, const CodeRecord& press,
                            const PressLookup& lookup, Language language);

class ButtonTestView {
  public:
    virtual ~ButtonTestView() = default;
    virtual void setPrompt(std::string_view text) = 0;
    // One line per press, the newest last.
    virtual void addLine(std::string_view text) = 0;
    // The main list selects the row of `slot` and scrolls it into view.
    virtual void showRow(std::size_t slot) = 0;
    // The poll timer, one-shot, as the capture dialog's.
    virtual void startTimer(std::uint32_t ms) = 0;
    virtual void stopTimer() = 0;
};

class ButtonTestSession {
  public:
    // The caller has entered capture mode; close() leaves it.
    ButtonTestSession(CUsbhidioc& link, DeviceCommands& commands, LogSink& log,
                      const RemoteModel& model, ButtonTestView& view, Notifier& notifier,
                      Language language);

    void shown();
    void timerFired();
    // Close and Escape: the receiver leaves capture mode and types again.
    void close();
    // The receiver has left the bus: the test ends with one message.
    void deviceLeft();

    bool polling() const { return timerRunning_; }
    bool receiverGone() const { return gone_; }
    bool closed() const { return closed_; }

  private:
    void readPresses();
    void tell(std::span<const std::uint16_t> low, std::span<const std::uint16_t> high);
    void setPrompt(std::string_view text);
    void startTimer();
    void stopTimer();

    CaptureReader reader_;
    DeviceCommands& commands_;
    const RemoteModel& model_;
    ButtonTestView& view_;
    Notifier& notifier_;
    Language language_;
    std::string prompt_;
    bool timerRunning_ = false;
    bool gone_ = false;
    bool closed_ = false;
};

}  // namespace tessik
