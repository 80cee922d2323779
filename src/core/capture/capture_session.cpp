#include "core/capture/capture_session.hpp"

#include <algorithm>
#include <utility>

#include "core/analysis/protocol.hpp"
#include "core/analysis/texts.hpp"
#include "core/capture/texts.hpp"
#include "core/ir/decoders.hpp"
#include "core/text/format.hpp"

namespace tessik {
namespace {

constexpr std::uint8_t kCaptureModeOff = 0;

std::optional<std::size_t> firstCodeSlot(const RemoteModel& model,
                                         std::optional<std::size_t> except) {
    for (std::size_t s = 0; s < kButtonSlots; ++s) {
        if (s != except && model.button(s).code.occupied()) return s;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::uint16_t> tableCodeLength(const RemoteModel& model,
                                             std::optional<std::size_t> except) {
    const auto first = firstCodeSlot(model, except);
    if (!first) return std::nullopt;
    return model.button(*first).code.bitCount;
}

std::vector<std::size_t> rowsOfOtherLength(const RemoteModel& model, std::uint16_t bits,
                                           std::optional<std::size_t> except) {
    std::vector<std::size_t> rows;
    for (std::size_t s = 0; s < kButtonSlots; ++s) {
        const CodeRecord& code = model.button(s).code;
        if (s != except && code.occupied() && code.bitCount != bits) rows.push_back(s);
    }
    return rows;
}

CaptureSession::CaptureSession(CUsbhidioc& link, DeviceCommands& commands, LogSink& log,
                               RemoteModel& model, CaptureView& view, Notifier& notifier,
                               Language language, std::optional<std::size_t> recapture)
    : reader_(link, commands, log, notifier, language, [this] { deviceLeft(); }),
      commands_(commands),
      model_(model),
      view_(view),
      notifier_(notifier),
      language_(language),
      target_(recapture),
      openedForRow_(recapture.has_value()) {}

void CaptureSession::shown() {
    state_ = CaptureState::FirstPress;
    firstCapture_.reset();
    reader_.restart();
    nextEnabled_ = false;
    view_.setNextEnabled(false);
    if (target_) view_.setComment(model_.button(*target_).text.comment);
    startTimer();
    setTexts(StringId::CapturePrompt, StringId::FirstPressStandby);
    refresh();
    showPresses({});
}

void CaptureSession::timerFired() {
    if (!timerRunning_) return;
    stopTimer();
    held_ = {};
    switch (reader_.poll()) {
        case PollOutcome::Gone:
            return;  // deviceLeft has ended the capture
        case PollOutcome::Stopped:
            state_ = CaptureState::Stopped;
            return;
        case PollOutcome::ReadFailed:
            retry();
            return;
        case PollOutcome::Waiting: {
            // A press coming in is said at once; reading it takes another poll or two.
            const std::string prompt =
                reader_.arriving() ? std::string(captureText(CaptureText::Arriving, language_))
                                   : prompt_;
            if (prompt != shownPrompt_) setShownPrompt(prompt);
            startTimer();
            return;
        }
        case PollOutcome::Read:
            readPresses();
            return;
    }
}

// The presses of a capture in the order they were made: a quick second press is the second
// press. A refusal drops the rest with the press it refuses; a confirmed code ends the reading
// (Next drops what came after it).
void CaptureSession::readPresses() {
    using Kind = CapturePiece::Kind;
    const std::vector<CapturePiece>& pieces = reader_.pieces();
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        const CapturePiece& p = pieces[k];
        if (p.kind == Kind::Repeat) continue;
        if (p.kind == Kind::Unfinished) {
            if (reader_.readUpTo(k)) waitForPress();
            return;
        }
        const Outcome outcome =
            p.kind == Kind::CutShort
                ? refuse(StringId::TooFewEntries, MessageKind::Warning)
                : judge(periodsOf(reader_.low(), p), periodsOf(reader_.high(), p));
        if (outcome == Outcome::Retry) {
            retry();
            return;
        }
        if (outcome == Outcome::Confirmed) {
            confirm();
            return;
        }
        state_ = CaptureState::SecondPress;
    }
    if (reader_.readUpTo(pieces.size())) waitForPress();
}

// Polling goes on for the press the state asks for.
void CaptureSession::waitForPress() {
    if (state_ == CaptureState::SecondPress) {
        setTexts(StringId::SecondPressPrompt, StringId::SecondPressStandby);
    } else {
        setTexts(StringId::CapturePrompt, StringId::FirstPressStandby);
    }
    startTimer();
    refresh();
    if (reader_.arriving())
        setShownPrompt(std::string(captureText(CaptureText::Arriving, language_)));
}

// A refusal or a failed read: the user starts the button again with its first press, as the
// prompt now says. The receiver drops what it holds before the refusal is shown, so a press
// made while the box is up is read after it.
void CaptureSession::retry() {
    state_ = CaptureState::FirstPress;
    firstCapture_.reset();
    held_ = {};
    setTexts(StringId::CapturePrompt, StringId::FirstPressStandby);
    if (!reader_.drop()) return;
    refresh();
    if (const auto refusal = std::exchange(refusal_, std::nullopt)) {
        const Answer answer = notifier_.show(refusal->message);
        if (answer == Answer::Action && refusal->offer) recapture(*refusal->offer);
    }
    // The box waits on the event loop, where the receiver may have been seen leaving.
    if (!gone_) startTimer();
}

void CaptureSession::confirm() {
    state_ = CaptureState::Confirmed;
    prompt_ = std::string(text(StringId::ReadingCompleted, language_));
    nextEnabled_ = true;
    view_.setNextEnabled(true);
    view_.focusComment();
    refresh();
}

// The refusal's offer was taken: the first row's code is captured again, then the capture of
// new rows goes on with the comment typed for the one that was refused.
void CaptureSession::recapture(std::size_t slot) {
    target_ = slot;
    openedForRow_ = false;
    setAsideComment_ = view_.comment();
    view_.setComment(model_.button(slot).text.comment);
    setTexts(StringId::CapturePrompt, StringId::FirstPressStandby);
    refresh();
}

void CaptureSession::deviceLeft() {
    if (gone_ || state_ == CaptureState::Closed) return;
    gone_ = true;
    stopTimer();
    nextEnabled_ = false;
    view_.setNextEnabled(false);
    // A confirmed code keeps its state and its result text, so Close still stores it.
    if (state_ != CaptureState::Confirmed && state_ != CaptureState::Full &&
        state_ != CaptureState::Recaptured) {
        state_ = CaptureState::Stopped;
        held_ = {};
        result_.clear();
        view_.setResult(result_);
        showPresses({});
    }
    prompt_ = std::string(captureText(CaptureText::CapturePlugIn, language_));
    setShownPrompt(prompt_);
    notifier_.show(Message{"", std::string(captureText(CaptureText::Unplugged, language_)),
                           MessageKind::Notice});
}

// The checks run in this order; each refusal restarts the button at its first press.
CaptureSession::Outcome CaptureSession::judge(std::span<const std::uint16_t> low,
                                              std::span<const std::uint16_t> high) {
    if (low.size() < 2) return refuse(StringId::TooFewEntries, MessageKind::Warning);
    held_ = decodeCapture(low, high);
    tracePress(low, high);
    if (held_.codeValue == 0) return refuse(StringId::NothingDecoded, MessageKind::Warning);
    const auto length = tableCodeLength(model_, target_);
    if (length && *length != held_.bitCount) return refuseLength();
    // A row captured again may get its own code back.
    if (const auto holder = model_.slotOfCode(held_.codeValue); holder && holder != target_) {
        return refuse(StringId::CodeAlreadyTaken, MessageKind::Notice,
                      storedAsText(*holder, model_.button(*holder).text.comment, language_));
    }
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

// The refusal names the rows whose length differs. When the table's first row alone stands in
// the way (it came from another remote, or from a wrong press), the box offers to capture it
// again: otherwise no press of this remote could ever be stored. A code too long to decode has
// no length to compare.
CaptureSession::Outcome CaptureSession::refuseLength() {
    const std::vector<std::size_t> rows = rowsOfOtherLength(model_, held_.bitCount, target_);
    std::string more;
    std::optional<std::size_t> offer;
    if (held_.codeValue != kCodeTooLong && !rows.empty()) {
        if (!target_ && rows.size() == 1 && rows.front() == firstCodeSlot(model_, std::nullopt))
            offer = rows.front();
        more = otherLengthText(held_.bitCount, rows, model_.button(rows.front()).code.bitCount,
                               offer, language_);
    }
    const Outcome outcome = refuse(StringId::CodeLengthDiffers, MessageKind::Warning, more);
    if (offer) {
        refusal_->offer = offer;
        refusal_->message.action = recaptureButtonText(*offer, language_);
    }
    return outcome;
}

CaptureSession::Outcome CaptureSession::refuse(StringId id, MessageKind kind, std::string more) {
    std::string message(text(id, language_));
    if (!more.empty()) {
        message += '\n';
        message += more;
    }
    refusal_ = Refusal{Message{"", std::move(message), kind}, std::nullopt};
    held_ = {};
    state_ = CaptureState::FirstPress;
    firstCapture_.reset();
    return Outcome::Retry;
}

void CaptureSession::next() {
    if (!nextEnabled_ || state_ != CaptureState::Confirmed) return;
    const std::size_t slot = storeHeld();
    if (!reader_.drop()) return;
    if (target_ && openedForRow_) {
        state_ = CaptureState::Recaptured;
        nextEnabled_ = false;
        view_.setNextEnabled(false);
        prompt_ = recapturedText(*target_, language_);
        setShownPrompt(prompt_);
        return;
    }
    if (target_) {
        // The offered re-capture is done: new rows again, with the comment set aside for them.
        target_.reset();
        waitForFirstPress(std::exchange(setAsideComment_, {}));
        return;
    }
    if (tableFull(slot)) {
        notifier_.show(Message{"", std::string(text(StringId::ButtonTableFull, language_)),
                               MessageKind::Notice});
        nextEnabled_ = false;
        view_.setNextEnabled(false);
        state_ = CaptureState::Full;
        return;
    }
    waitForFirstPress({});
}

std::size_t CaptureSession::storeHeld() {
    std::size_t slot = kNoFreeSlot;
    if (target_) {
        if (model_.recaptureCode(*target_, held_, view_.comment())) slot = *target_;
    } else {
        slot = model_.AddCode(held_, view_.comment());
    }
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

// After a code was stored: the Comment edit is emptied for the next button (or given back what
// was typed for it before a row was captured again).
void CaptureSession::waitForFirstPress(std::u16string_view comment) {
    view_.setComment(comment);
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
    if (!gone_ && !commands_.CaptureMode(kCaptureModeOff)) reader_.linkFailed();
    // Only a code the user confirmed with its second press is stored; a first press that
    // happens to be held when Close comes is not.
    if (state_ == CaptureState::Confirmed && (target_ || model_.IsNewCode(held_))) storeHeld();
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

// The prompt of the first press names the row whose code is captured again.
void CaptureSession::setTexts(StringId prompt, StringId result) {
    prompt_ = target_ && prompt == StringId::CapturePrompt
                  ? recapturePromptText(*target_, language_)
                  : std::string(text(prompt, language_));
    result_ = std::string(text(result, language_));
    analysis_.clear();
    warning_.clear();
}

void CaptureSession::setShownPrompt(const std::string& prompt) {
    shownPrompt_ = prompt;
    view_.setPrompt(prompt);
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
void CaptureSession::tracePress(std::span<const std::uint16_t> low,
                                std::span<const std::uint16_t> high) {
    const bool second = state_ == CaptureState::SecondPress && firstCapture_;
    const RemoteHeader learned = headerWith({second ? &*firstCapture_ : &held_});
    lastPress_ = captureTrace(low, high, timingWindows(learned, model_.jitterPercent()));
    showPresses({lastPress_});
}

void CaptureSession::showPresses(std::vector<SignalTrace> presses) {
    presses_ = std::move(presses);
    view_.setSignal(presses_);
}

// Writes the texts to the window. The Comment edit keeps what was typed: the comment typed
// before or during the presses is the one stored.
void CaptureSession::refresh() {
    setShownPrompt(prompt_);
    view_.setResult(result_);
    view_.setAnalysis(analysis_, warning_);
}

}  // namespace tessik
