#include "core/capture/capture_session.hpp"

#include <utility>

#include "core/analysis/protocol.hpp"
#include "core/analysis/texts.hpp"
#include "core/ir/decoders.hpp"
#include "core/text/bilingual.hpp"
#include "core/text/format.hpp"

namespace tessik {
namespace {

constexpr std::uint8_t kCaptureModeOn = 1;
constexpr std::uint8_t kCaptureModeOff = 0;

// Told once when the receiver leaves during a capture, and what the prompt says afterwards.
constexpr Bilingual kUnpluggedText{
    "The receiver was unplugged. The codes stored so far are kept.",
    "受信機が取り外されました。登録済みのコードはそのまま残っています。"};
constexpr Bilingual kUnpluggedPrompt{
    "Plug the receiver in and open Capture Ir Data again.",
    "受信機を接続してから、もう一度「リモコンデータ取り込み」を開いてください。"};

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
        const bool gone = failed();
        log_.LogLine("USB Send Error");
        if (!gone) state_ = CaptureState::Stopped;
        return;
    }
    if (poll.transfer == CaptureTransfer::ReceiveFailed) {
        const bool gone = failed();
        log_.LogLine("USB Recv Error");
        if (gone) return;
        state_ = CaptureState::Stopped;
        captureMode(kCaptureModeOn);  // the receiver drops whatever it recorded
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
    if (gone_) return;
    switch (outcome) {
        case Outcome::Retry:
            // Whatever went wrong, the user starts the button again with its first press, as
            // the prompt now says.
            state_ = CaptureState::FirstPress;
            firstCapture_.reset();
            setTexts(StringId::CapturePrompt, StringId::FirstPressStandby);
            captureMode(kCaptureModeOn);  // the receiver drops the press it holds
            if (gone_) return;
            startTimer();
            refresh();
            break;
        case Outcome::FirstPressAccepted:
            state_ = CaptureState::SecondPress;
            setTexts(StringId::SecondPressPrompt, StringId::SecondPressStandby);
            captureMode(kCaptureModeOn);
            if (gone_) return;
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
            failed();
            log_.LogLine("USB Send Error");
            return std::nullopt;
        }
        const bool echoed = reply.echo == static_cast<std::uint8_t>(CommandCode::GetCaptureLow);
        if (reply.transfer == CaptureTransfer::ReceiveFailed) failed();
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
        failed();
        log_.LogLine("USB Send Error");
        return std::nullopt;
    }
    if (reply.transfer == CaptureTransfer::ReceiveFailed) {
        failed();
        readFailed();
        return std::nullopt;
    }
    return std::move(reply.periods);
}

void CaptureSession::readFailed() {
    log_.LogLine("USB Recv Error");
    held_ = {};
    captureMode(kCaptureModeOn);
}

// An exchange failed. A receiver that is not there any more ends the capture; any other
// failure is told as the link's, before its log line, as the link has always told it. True
// when the capture has ended.
bool CaptureSession::failed() {
    const DeviceOutcome& outcome = commands_.outcome();
    if (outcome.absent()) {
        deviceLeft();
        return true;
    }
    showDeviceOutcome(notifier_, outcome, language_);
    return false;
}

void CaptureSession::captureMode(std::uint8_t on) {
    if (gone_) return;  // nothing is sent to a receiver that has gone
    if (!commands_.CaptureMode(on)) failed();
}

void CaptureSession::deviceLeft() {
    if (gone_ || state_ == CaptureState::Closed) return;
    gone_ = true;
    stopTimer();
    nextEnabled_ = false;
    view_.setNextEnabled(false);
    // A confirmed code keeps its state and its result text, so Close still stores it.
    if (state_ != CaptureState::Confirmed && state_ != CaptureState::Full) {
        state_ = CaptureState::Stopped;
        held_ = {};
        result_.clear();
        view_.setResult(result_);
        showPresses({});
    }
    prompt_ = std::string(pick(kUnpluggedPrompt, language_));
    view_.setPrompt(prompt_);
    notifier_.show(Message{"", std::string(pick(kUnpluggedText, language_)), MessageKind::Notice});
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
    captureMode(kCaptureModeOn);
    if (gone_) return;
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
    captureMode(kCaptureModeOff);
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
