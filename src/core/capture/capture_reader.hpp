#pragma once
// Reading presses out of the receiver in capture mode: the polls, the fetch and what is kept of
// the capture memory between them. The capture dialog and the button test share it.
//
// Each poll sends Start Capture. Once the count of entries not yet read is above 10 and has
// stopped growing (two polls see the same count), both halves are fetched with Get Capture and
// cut into presses (splitCapture). The owner reads the presses in order; what it has read is
// dropped with CaptureMode 1, so that the receiver counts from zero again. A press still
// arriving when the fetch was made is not dropped but read at a later poll, so that a press
// made while the one before it was read is read next rather than lost.
//
// After a drop the last count is kept: a press as long as the last one is fetched at the first
// poll that sees it (a second press of the same button is read at once). It is fetched as far
// as it has come, so a press that only passes that length on its way is read again later.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "core/capture/capture_exchange.hpp"
#include "core/capture/capture_reading.hpp"
#include "core/device/commands.hpp"
#include "core/device/log_sink.hpp"
#include "core/device/notifier.hpp"
#include "core/text/language.hpp"

namespace tessik {

// The owner's poll timer, one-shot, started again after each poll.
inline constexpr std::uint32_t kCapturePollMs = 350;
// How often Get Capture 0x23 is sent while the device answers with another code's echo; then
// the read counts as failed.
inline constexpr int kLowPeriodReadTries = 10;

enum class PollOutcome {
    Stopped,     // the Start Capture poll failed on the link: polling ends
    Waiting,     // nothing to read yet; arriving() tells whether a press is coming in
    ReadFailed,  // the periods could not be read; the receiver was told to drop them
    Read,        // pieces() holds the fetched capture, cut into presses
    Gone,        // the receiver has left the bus
};

class CaptureReader {
  public:
    // A failed exchange is told in `notifier` (linkFailed); `receiverLeft` is called when the
    // receiver turns out to have gone.
    CaptureReader(CUsbhidioc& link, DeviceCommands& commands, LogSink& log, Notifier& notifier,
                  Language language, std::function<void()> receiverLeft);

    // Capture mode was just entered: nothing has been read.
    void restart();
    // One poll, and the fetch when a press has come in.
    PollOutcome poll();
    // Since the last fetch, more entries than a frame's worth have come in and are being read.
    bool arriving() const { return arriving_; }

    // The last fetch: its periods and its pieces, from the first entry not yet read.
    const std::vector<std::uint16_t>& low() const { return low_; }
    const std::vector<std::uint16_t>& high() const { return high_; }
    const std::vector<CapturePiece>& pieces() const { return pieces_; }

    // The owner has read the pieces before `piece` (pieces().size(): all of them): the receiver
    // drops its memory unless something in it is still to be read. False when the receiver has
    // gone.
    bool readUpTo(std::size_t piece);
    // CaptureMode 1: the receiver drops everything it holds. False when it has gone.
    bool drop();
    // An exchange failed. A receiver that is not there any more is left (receiverLeft); any
    // other failure is told as the link's, before its log line, as the link has always told it.
    // True when the receiver has gone.
    bool linkFailed();

  private:
    PollOutcome fetch(std::uint16_t count, bool stood);
    std::optional<std::vector<std::uint16_t>> readLowPeriods();
    std::optional<std::vector<std::uint16_t>> readHighPeriods();

    CaptureExchange exchange_;
    DeviceCommands& commands_;
    LogSink& log_;
    Notifier& notifier_;
    Language language_;
    std::function<void()> receiverLeft_;

    std::uint16_t previousCount_ = 0;
    std::optional<std::uint16_t> lastSeen_;  // the count of the poll before, since the last drop
    std::size_t readFrom_ = 0;               // entries of the memory already read
    bool arriving_ = false;
    bool gone_ = false;
    std::vector<std::uint16_t> low_;
    std::vector<std::uint16_t> high_;
    std::vector<CapturePiece> pieces_;
    bool moreCame_ = false;  // entries came in between the two halves of the fetch
};

}  // namespace tessik
