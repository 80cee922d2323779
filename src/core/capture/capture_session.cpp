#include "core/capture/capture_session.hpp"

#include <utility>

#include "core/analysis/protocol.hpp"
#include "core/analysis/texts.hpp"
#include "core/ir/decoders.hpp"
#include "core/text/format.hpp"

namespace tessik {
namespace {

constexpr std::uint8_t kCaptureModeOn = 1;
constexpr std::uint8_t kCaptureModeOff = 0;

}  // namespace

CaptureSession::CaptureSession(CUsbhidioc& link, DeviceCommands& commands, LogSink& log,
                               RemoteModel& model, CaptureView& view, Notifier& notifier,
                               Language language)
    : exchange_(link),
      commands_(commands),
      log_(log),
      model_(model),
      view_(view),
      notifier_(notifier),
      language_(language) {}

void CaptureSession::shown() {
    state_ = CaptureState::FirstPress;
    firstCapture_.reset();
    previousCount_ = 0;
    nextEnabled_ = false;
    view_.setNextEnabled(false);
    startTimer();
    setTexts(StringId::CapturePrompt, StringId::FirstPressStandby);
    refresh();
    showPresses({});
}

void CaptureSession::timerFired() {
    if (!timerRunning_) return;
    stopTimer();
    held_ = {};
    const CaptureCount poll = exchange_.startCapture();
    if (poll.transfer == CaptureTransfer::SendFailed) {
        log_.LogLine("USB Send Error");
        state_ = CaptureState::Stopped;
        return;
    }
    if (poll.transfer == CaptureTransfer::ReceiveFailed) {
        log_.LogLine("USB Recv Error");
        commands_.CaptureMode(kCaptureModeOn);  // the receiver drops whatever it recorded
        state_ = CaptureState::Stopped;
        return;
    }
    log_.LogLine("Send Start Capture Command Success");
    // The receiver counts the entries of a press as they arrive; a press is complete when two
    // polls in a row see the same count. Counts of 10 or fewer are not a remote's frame.
    if (poll.count <= kMinCaptureEntries || poll.count != previousCount_) {
        if (poll.count > kMinCaptureEntries) previousCount_ = poll.count;
        startTimer();
        return;
    }
    log_.LogLine("Start Capture");
    afterFetch(getCapture());
}

void CaptureSession::afterFetch(Outcome outcome) {
    switch (outcome) {
        case Outcome::Retry:
            // Whatever went wrong, the user starts the button again with its first press, as
            // the prompt now says.
            state_ = CaptureState::FirstPress;
            firstCapture_.reset();
            setTexts(StringId::CapturePrompt, StringId::FirstPressStandby);
            commands_.CaptureMode(kCaptureModeOn);  // the receiver drops the press it holds
            startTimer();
            refresh();
            break;
        case Outcome::FirstPressAccepted:
            state_ = CaptureState::SecondPress;
            setTexts(StringId::SecondPressPrompt, StringId::SecondPressStandby);
            commands_.CaptureMode(kCaptureModeOn);
            startTimer();
            refresh();
            break;
        case Outcome::Confirmed:
            state_ = CaptureState::Confirmed;
            prompt_ = std::string(text(StringId::ReadingCompleted, language_));
            nextEnabled_ = true;
            view_.setNextEnabled(true);
            view_.focusComment();
            refresh();  // empties a comment typed before the confirmation
            break;
    }
}

CaptureSession::Outcome CaptureSession::getCapture() {
    const auto low = readLowPeriods();
    if (!low) return Outcome::Retry;
    log_.LogLine("Send Get Capture Command Success");
    // The last entry ends in the silence that stopped the recording and is not analysed.
    const auto pairCount = static_cast<std::uint16_t>(low->empty() ? 0 : low->size() - 1);
    held_.pairCount = pairCount;
    const auto high = readHighPeriods();
    if (!high) return Outcome::Retry;
    log_.LogLine("Send Get Capture Command Success");
    return judge(pairCount, *low, *high);
}

std::optional<std::vector<std::uint16_t>> CaptureSession::readLowPeriods() {
    // A reply that echoes another code is one the device has not replaced yet: ask again, but
    // not forever.
    for (int attempt = 1;; ++attempt) {
        held_ = {};
        CapturePeriods reply = exchange_.getCapture(CommandCode::GetCaptureLow);
        if (reply.transfer == CaptureTransfer::SendFailed) {
            log_.LogLine("USB Send Error");
            return std::nullopt;
        }
        const bool echoed = reply.echo == static_cast<std::uint8_t>(CommandCode::GetCaptureLow);
        if (reply.transfer == CaptureTransfer::ReceiveFailed ||
            (!echoed && attempt >= kLowPeriodReadTries)) {
            readFailed();
            return std::nullopt;
        }
        if (echoed) return std::move(reply.periods);
    }
}

std::optional<std::vector<std::uint16_t>> CaptureSession::readHighPeriods() {
    CapturePeriods reply = exchange_.getCapture(CommandCode::GetCaptureHigh);
    if (reply.transfer == CaptureTransfer::SendFailed) {
        log_.LogLine("USB Send Error");
        return std::nullopt;
    }
    if (reply.transfer == CaptureTransfer::ReceiveFailed) {
        readFailed();
        return std::nullopt;
    }
    return std::move(reply.periods);
}

void CaptureSession::readFailed() {
    log_.LogLine("USB Recv Error");
    held_ = {};
    commands_.CaptureMode(kCaptureModeOn);
}

// The checks run in this order; each refusal restarts the button at its first press. High
// periods the device did not send count as 0 (decodeCapture pads them).
CaptureSession::Outcome CaptureSession::judge(std::uint16_t pairCount,
                                              const std::vector<std::uint16_t>& low,
                                              const std::vector<std::uint16_t>& high) {
    if (pairCount == 0) return refuse(StringId::TooFewEntries, MessageKind::Warning);
    held_ = decodeCapture(low, high);
    tracePress(low, high);
    if (held_.codeValue == 0) return refuse(StringId::NothingDecoded, MessageKind::Warning);
    // One set of timing windows serves the whole table, so every code must be as long as the
    // first one.
    const std::uint16_t tableBits = model_.buttons()[0].code.bitCount;
    if (tableBits != 0 && tableBits != held_.bitCount) {
        return refuse(StringId::CodeLengthDiffers, MessageKind::Warning);
    }
    if (!model_.IsNewCode(held_)) return refuse(StringId::CodeAlreadyTaken, MessageKind::Notice);
    if (held_.codeValue == kCodeTooLong)
        return refuse(StringId::IrDataTooLong, MessageKind::Notice);

    if (state_ != CaptureState::SecondPress) {
        firstCapture_ = held_;
        firstPress_ = lastPress_;
        return Outcome::FirstPressAccepted;
    }
    if (firstCapture_ && held_.codeValue == firstCapture_->codeValue) {
        result_ = codeValueText(held_.codeValue);
        showPresses({firstPress_, lastPress_});
        analyseConfirmed();
        return Outcome::Confirmed;
    }
    return refuse(StringId::CodeDiffersFromFirst, MessageKind::Notice);
}

CaptureSession::Outcome CaptureSession::refuse(StringId id, MessageKind kind) {
    notifier_.show(Message{"", std::string(text(id, language_)), kind});
    held_ = {};
    state_ = CaptureState::FirstPress;
    firstCapture_.reset();
    return Outcome::Retry;
}

void CaptureSession::next() {
    if (!nextEnabled_ || state_ != CaptureState::Confirmed) return;
    const std::size_t slot = storeHeld();
    commands_.CaptureMode(kCaptureModeOn);
    if (tableFull(slot)) {
        notifier_.show(Message{"", std::string(text(StringId::ButtonTableFull, language_)),
                               MessageKind::Notice});
        nextEnabled_ = false;
        view_.setNextEnabled(false);
        state_ = CaptureState::Full;
        return;
    }
    waitForFirstPress();
}

std::size_t CaptureSession::storeHeld() {
    const std::size_t slot = model_.AddCode(held_, view_.comment());
    if (slot != kNoFreeSlot && spread_) {
        widestStoredSpread_ = std::max(widestStoredSpread_.value_or(0.0), spread_->widest());
    }
    return slot;
}

// Slot 127 was the last free one. A table with gaps (read from a file) fills up at another
// slot, and a table that was already full stored nothing: both are full too, or the next
// confirmed code would be dropped without a word.
bool CaptureSession::tableFull(std::size_t slot) const {
    return slot == kNoFreeSlot || model_.occupiedCount() == kButtonSlots;
}

void CaptureSession::waitForFirstPress() {
    view_.clearComment();
    held_ = {};
    nextEnabled_ = false;
    view_.setNextEnabled(false);
    setTexts(StringId::CapturePrompt, StringId::FirstPressStandby);
    refresh();
    showPresses({});
    startTimer();
    state_ = CaptureState::FirstPress;
    firstCapture_.reset();
}

void CaptureSession::close() {
    if (state_ == CaptureState::Closed) return;
    commands_.CaptureMode(kCaptureModeOff);
    // Only a code the user confirmed with its second press is stored; a first press that
    // happens to be held when Close comes is not.
    if (state_ == CaptureState::Confirmed && model_.IsNewCode(held_)) storeHeld();
    stopTimer();
    state_ = CaptureState::Closed;
}

void CaptureSession::startTimer() {
    timerRunning_ = true;
    view_.startTimer(kCapturePollMs);
}

void CaptureSession::stopTimer() {
    timerRunning_ = false;
    view_.stopTimer();
}

void CaptureSession::setTexts(StringId prompt, StringId result) {
    prompt_ = std::string(text(prompt, language_));
    result_ = std::string(text(result, language_));
    analysis_.clear();
    warning_.clear();
}

// The overlap limit is that of the table as it will be once this code is stored, both presses
// folded into its statistics.
void CaptureSession::analyseConfirmed() {
    spread_ = tessik::pressSpread(*firstCapture_, held_);
    analysis_ = confirmedCodeText(identifyProtocol(held_), *spread_, language_);
    warning_ = spreadWarningText(*spread_, model_.jitterPercent(),
                                 overlapLimit(headerWith({&*firstCapture_, &held_})), language_);
}

RemoteHeader CaptureSession::headerWith(std::initializer_list<const CodeRecord*> codes) const {
    RemoteHeader header = model_.header();
    for (const CodeRecord* code : codes)
        AccumulateStatistics(header, *code);
    return header;
}

// The second press is drawn against the windows the table would get from the first one, so a
// period the jitter does not cover stands out; a first press against its own.
void CaptureSession::tracePress(const std::vector<std::uint16_t>& low,
                                const std::vector<std::uint16_t>& high) {
    const bool second = state_ == CaptureState::SecondPress && firstCapture_;
    const RemoteHeader learned = headerWith({second ? &*firstCapture_ : &held_});
    lastPress_ = captureTrace(low, high, timingWindows(learned, model_.jitterPercent()));
    showPresses({lastPress_});
}

void CaptureSession::showPresses(std::vector<SignalTrace> presses) {
    presses_ = std::move(presses);
    view_.setSignal(presses_);
}

// Writes the texts to the window and empties the Comment edit, as the dialog's refresh always
// has.
void CaptureSession::refresh() {
    view_.setPrompt(prompt_);
    view_.setResult(result_);
    view_.setAnalysis(analysis_, warning_);
    view_.clearComment();
}

}  // namespace tessik
