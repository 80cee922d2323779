#include "core/capture/capture_reader.hpp"

#include <utility>

namespace tessik {

constexpr std::uint8_t kCaptureModeOn = 1;

CaptureReader::CaptureReader(CUsbhidioc& link, DeviceCommands& commands, LogSink& log,
                             Notifier& notifier, Language language,
                             std::function<void()> receiverLeft)
    : exchange_(link),
      commands_(commands),
      log_(log),
      notifier_(notifier),
      language_(language),
      receiverLeft_(std::move(receiverLeft)) {}

void CaptureReader::restart() {
    previousCount_ = 0;
    lastSeen_.reset();
    readFrom_ = 0;
    arriving_ = false;
    gone_ = false;
    pieces_.clear();
}

bool CaptureReader::linkFailed() {
    const DeviceOutcome& outcome = commands_.outcome();
    if (outcome.absent()) {
        gone_ = true;
        receiverLeft_();
        return true;
    }
    showDeviceOutcome(notifier_, outcome, language_);
    return false;
}

PollOutcome CaptureReader::poll() {
    arriving_ = false;
    const CaptureCount poll = exchange_.startCapture();
    if (poll.transfer != CaptureTransfer::Acknowledged) {
        const bool gone = linkFailed();
        const bool requestSent = poll.transfer == CaptureTransfer::ReceiveFailed;
        log_.LogLine(requestSent ? "USB Recv Error" : "USB Send Error");
        if (gone) return PollOutcome::Gone;
        if (requestSent) drop();  // the receiver drops whatever it recorded
        return gone_ ? PollOutcome::Gone : PollOutcome::Stopped;
    }
    log_.LogLine("Send Start Capture Command Success");
    // A count below what was read: the receiver started over without being told to.
    if (poll.count < readFrom_) readFrom_ = 0;
    const std::size_t fresh = poll.count - readFrom_;
    const bool stood = lastSeen_ == poll.count;
    lastSeen_ = poll.count;
    // The receiver counts the entries of a press as they arrive; a press is complete when two
    // polls in a row see the same count. A few entries are not a remote's frame.
    if (fresh <= kMinCaptureEntries) return PollOutcome::Waiting;
    if (poll.count != previousCount_) {
        previousCount_ = poll.count;
        arriving_ = true;
        return PollOutcome::Waiting;
    }
    log_.LogLine("Start Capture");
    return fetch(poll.count, stood);
}

PollOutcome CaptureReader::fetch(std::uint16_t count, bool stood) {
    auto low = readLowPeriods();
    if (!low) return gone_ ? PollOutcome::Gone : PollOutcome::ReadFailed;
    log_.LogLine("Send Get Capture Command Success");
    auto high = readHighPeriods();
    if (!high) return gone_ ? PollOutcome::Gone : PollOutcome::ReadFailed;
    log_.LogLine("Send Get Capture Command Success");
    low_ = std::move(*low);
    high_ = std::move(*high);
    // Entries that came in between the poll and the second half are there to be read later.
    moreCame_ = high_.size() > low_.size();
    const bool full = low_.size() >= exchange_.maxPeriodsPerReply();
    const bool settled = full || (stood && low_.size() <= count && !moreCame_);
    pieces_ = splitCapture(low_, high_, readFrom_, settled);
    arriving_ = !pieces_.empty() && pieces_.back().kind == CapturePiece::Kind::Unfinished;
    return PollOutcome::Read;
}

bool CaptureReader::readUpTo(std::size_t piece) {
    if (piece < pieces_.size()) {
        readFrom_ = pieces_[piece].begin;
        return !gone_;
    }
    if (moreCame_) {
        readFrom_ = pieces_.empty() ? readFrom_ : pieces_.back().end;
        return !gone_;
    }
    return drop();
}

bool CaptureReader::drop() {
    readFrom_ = 0;
    lastSeen_.reset();
    if (!commands_.CaptureMode(kCaptureModeOn)) linkFailed();
    return !gone_;
}

std::optional<std::vector<std::uint16_t>> CaptureReader::readLowPeriods() {
    // A reply that echoes another code is one the device has not replaced yet: ask again, but
    // not forever.
    for (int attempt = 1;; ++attempt) {
        CapturePeriods reply = exchange_.getCapture(CommandCode::GetCaptureLow);
        const bool echoed = reply.echo == static_cast<std::uint8_t>(CommandCode::GetCaptureLow);
        if (reply.transfer == CaptureTransfer::Acknowledged && echoed)
            return std::move(reply.periods);
        if (reply.transfer == CaptureTransfer::Acknowledged && attempt < kLowPeriodReadTries)
            continue;
        if (reply.transfer != CaptureTransfer::Acknowledged) linkFailed();
        log_.LogLine(reply.transfer == CaptureTransfer::SendFailed ? "USB Send Error"
                                                                   : "USB Recv Error");
        return std::nullopt;
    }
}

std::optional<std::vector<std::uint16_t>> CaptureReader::readHighPeriods() {
    CapturePeriods reply = exchange_.getCapture(CommandCode::GetCaptureHigh);
    if (reply.transfer == CaptureTransfer::Acknowledged) return std::move(reply.periods);
    linkFailed();
    log_.LogLine(reply.transfer == CaptureTransfer::SendFailed ? "USB Send Error"
                                                               : "USB Recv Error");
    return std::nullopt;
}

}  // namespace tessik
