#include "core/guided/guided_setup.hpp"

#include <algorithm>

#include "core/analysis/texts.hpp"
#include "core/bytes/utf.hpp"
#include "core/capture/texts.hpp"
#include "core/device/device_outcome.hpp"
#include "core/keys/key_codes.hpp"
#include "core/text/bilingual.hpp"
#include "core/text/format.hpp"

namespace tessik {
namespace {

constexpr std::uint8_t kCaptureModeOn = 1;

constexpr Bilingual kPressPrompt{"Press %s on your remote", "リモコンの「%s」を押してください"};
constexpr Bilingual kTypes{"It will type: %s", "入力されるキー: %s"};
constexpr Bilingual kCounter{"Button %d of %d", "%d / %d 個目"};
constexpr Bilingual kTaughtAs{"No %d", "No %d"};
constexpr Bilingual kSkipped{"skipped", "スキップ"};

}  // namespace

// The capture session's window, as far as a step has one: its texts and timer are the step
// page's; there is no Next and no Comment edit, as the role names the button.
class GuidedSetUp::CaptureAdapter : public CaptureView {
  public:
    explicit CaptureAdapter(GuidedSetUp& setUp) : setUp_(setUp) {}
    void setPrompt(std::string_view text) override { setUp_.view_.setCapturePrompt(text); }
    void setResult(std::string_view text) override { setUp_.view_.setCaptureResult(text); }
    void setAnalysis(std::string_view code, std::string_view warning) override {
        setUp_.view_.setAnalysis(code, warning);
    }
    void setSignal(std::span<const SignalTrace> presses) override {
        setUp_.view_.setSignal(presses);
    }
    void setNextEnabled(bool) override {}
    // The session fills the comment with a row's own when the length refusal's offer to
    // capture that row again is taken; that row keeps it.
    void setComment(std::u16string_view text) override { rowComment_ = text; }
    void focusComment() override {}
    // The comment a taught button is stored with: its role's name.
    std::u16string comment() const override {
        if (setUp_.session_ && setUp_.session_->recapturing()) return rowComment_;
        return utf8ToUtf16(setUp_.steps_.at(setUp_.index_).role.name(setUp_.language_));
    }
    void startTimer(std::uint32_t ms) override { setUp_.view_.startTimer(ms); }
    void stopTimer() override { setUp_.view_.stopTimer(); }

  private:
    GuidedSetUp& setUp_;
    std::u16string rowComment_;
};

GuidedSetUp::GuidedSetUp(CUsbhidioc& link, DeviceCommands& commands, LogSink& log,
                         RemoteModel& model, GuidedSetUpView& view, Notifier& notifier,
                         Language language)
    : link_(link),
      commands_(commands),
      log_(log),
      model_(model),
      view_(view),
      notifier_(notifier),
      language_(language),
      adapter_(std::make_unique<CaptureAdapter>(*this)) {}

GuidedSetUp::~GuidedSetUp() {
    if (page_ == GuidedPage::Step || page_ == GuidedPage::End) cancel();
}

bool GuidedSetUp::canStart(std::u16string_view name, std::size_t chosenRoles) {
    return !name.empty() && chosenRoles > 0;
}

bool GuidedSetUp::start(std::u16string_view name, const KeyLayout& layout,
                        const std::vector<std::string>& chosen) {
    if (page_ != GuidedPage::Choose) return false;
    std::vector<GuidedStep> steps;
    for (const LayoutRole& role : layout.roles) {
        if (std::find(chosen.begin(), chosen.end(), role.id) != chosen.end())
            steps.push_back({role, std::nullopt, false});
    }
    if (!canStart(name, steps.size())) return false;
    // Without the receiver in capture mode there is nothing to press the buttons to.
    if (!commands_.CaptureMode(kCaptureModeOn)) {
        showDeviceOutcome(notifier_, commands_.outcome(), language_);
        return false;
    }
    steps_ = std::move(steps);
    group_.emplace(model_, EditLabel{EditKind::GuidedSetUp, 0});
    model_.rename(name);
    marks_.assign(steps_.size(), group_->mark());
    page_ = GuidedPage::Step;
    enterStep(0);
    openCapture();
    view_.changed();
    return true;
}

// A capture session of its own for each stretch of steps: a step left by Skip or Back starts
// the next one at its first press, with whatever the receiver held dropped.
void GuidedSetUp::openCapture() {
    closeCapture();
    session_ = std::make_unique<CaptureSession>(link_, commands_, log_, model_, *adapter_,
                                                notifier_, language_);
    session_->shown();
}

// What the receiver holds of the last button's presses is not the next one's: it drops them
// in capture mode, and a new session starts at the first press.
void GuidedSetUp::restartCapture() {
    closeCapture();
    if (commands_.CaptureMode(kCaptureModeOn)) {
        openCapture();
    } else {
        showDeviceOutcome(notifier_, commands_.outcome(), language_);
    }
}

void GuidedSetUp::closeCapture() {
    if (!session_) return;
    if (const auto widest = session_->widestStoredSpread())
        widestSpread_ = std::max(widestSpread_.value_or(0.0), *widest);
    session_->close();
    session_.reset();
}

void GuidedSetUp::enterStep(std::size_t index) {
    index_ = index;
    for (std::size_t i = index; i < steps_.size(); ++i) {
        steps_[i].slot.reset();
        steps_[i].skipped = false;
    }
    marks_[index] = group_->mark();
}

void GuidedSetUp::timerFired() {
    // A session that stopped polling (its receiver gone) has nothing more to confirm.
    if (page_ != GuidedPage::Step || !session_ || !session_->polling()) return;
    const bool recapturing = session_->recapturing().has_value();
    session_->timerFired();
    if (session_->state() == CaptureState::Confirmed) {
        store();
    } else if (session_->recapturing().has_value() != recapturing) {
        view_.changed();  // the step asks for the row's button now
    }
}

// The confirmed button is stored as the capture's Next stores it, with the role's name as its
// comment, and gets the role's keys.
void GuidedSetUp::store() {
    // The row the length refusal offered to capture again has its new code; the step's own
    // button is still to come.
    if (session_->recapturing()) {
        session_->next();
        view_.changed();
        return;
    }
    const std::uint64_t code = session_->heldRecord().codeValue;
    const std::u16string comment = adapter_->comment();
    session_->next();
    GuidedStep& step = steps_[index_];
    step.slot = model_.slotOfCode(code);
    if (step.slot) model_.storeButtonKeys(*step.slot, step.role.buttonKeys(comment));
    if (session_->state() == CaptureState::Full) {
        endTeaching();
        return;
    }
    advance();
}

void GuidedSetUp::advance() {
    if (index_ + 1 >= steps_.size()) {
        endTeaching();
        return;
    }
    enterStep(index_ + 1);
    view_.changed();
}

void GuidedSetUp::endTeaching() {
    closeCapture();
    for (std::size_t i = index_; i < steps_.size(); ++i) {
        if (!steps_[i].slot) steps_[i].skipped = true;
    }
    page_ = GuidedPage::End;
    view_.changed();
}

void GuidedSetUp::skip() {
    if (page_ != GuidedPage::Step) return;
    steps_[index_].skipped = true;
    if (index_ + 1 >= steps_.size()) {
        endTeaching();
        return;
    }
    enterStep(index_ + 1);
    restartCapture();
    view_.changed();
}

void GuidedSetUp::skipRest() {
    if (page_ == GuidedPage::Step) endTeaching();
}

bool GuidedSetUp::backEnabled() const {
    return page_ == GuidedPage::End || (page_ == GuidedPage::Step && index_ > 0);
}

void GuidedSetUp::back() {
    if (!backEnabled()) return;
    const std::size_t target = page_ == GuidedPage::End ? index_ : index_ - 1;
    closeCapture();
    group_->rollBackTo(marks_[target]);
    enterStep(target);
    page_ = GuidedPage::Step;
    restartCapture();
    view_.changed();
}

void GuidedSetUp::finish() {
    if (page_ != GuidedPage::End) return;
    group_.reset();  // recorded as one edit
    page_ = GuidedPage::Done;
    view_.changed();
}

void GuidedSetUp::cancel() {
    if (page_ == GuidedPage::Done || page_ == GuidedPage::Cancelled) return;
    closeCapture();
    if (group_) {
        group_->cancel();
        group_.reset();
    }
    page_ = GuidedPage::Cancelled;
}

void GuidedSetUp::deviceLeft() {
    if (session_) session_->deviceLeft();
}

std::optional<double> GuidedSetUp::widestSpread() const {
    std::optional<double> widest = widestSpread_;
    if (session_ && session_->widestStoredSpread())
        widest = std::max(widest.value_or(0.0), *session_->widestStoredSpread());
    return widest;
}

std::string GuidedSetUp::stepPrompt() const {
    if (steps_.empty()) return {};
    if (session_ && session_->recapturing())
        return recapturePromptText(*session_->recapturing(), language_);
    return formatText(pick(kPressPrompt, language_), {steps_[index_].role.name(language_)});
}

std::string GuidedSetUp::stepKeys() const {
    if (steps_.empty() || (session_ && session_->recapturing())) return {};
    const LayoutRole& role = steps_[index_].role;
    return formatText(pick(kTypes, language_), {keyCodeListText(role.keys, role.keyCount)});
}

std::string GuidedSetUp::stepCounter() const {
    return formatText(pick(kCounter, language_), {index_ + 1, steps_.size()});
}

std::string GuidedSetUp::stepResult(const GuidedStep& step) const {
    if (step.slot) return formatText(pick(kTaughtAs, language_), {*step.slot + 1});
    return std::string(pick(kSkipped, language_));
}

std::string GuidedSetUp::toleranceText() const {
    return jitterVerdictText(model_.header(), model_.jitterPercent(), widestSpread(), language_);
}

}  // namespace tessik
