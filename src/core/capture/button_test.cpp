#include "core/capture/button_test.hpp"

#include <algorithm>
#include <vector>

#include "core/analysis/protocol.hpp"
#include "core/analysis/texts.hpp"
#include "core/bytes/utf.hpp"
#include "core/capture/capture_session.hpp"
#include "core/capture/texts.hpp"
#include "core/device/device_outcome.hpp"
#include "core/ir/decoders.hpp"
#include "core/text/bilingual.hpp"
#include "core/text/format.hpp"

namespace tessik {
namespace {

constexpr std::uint8_t kCaptureModeOff = 0;

bool inside(std::uint16_t period, const TimingWindow& w) {
    return w.min <= period && period <= w.max;
}

// Protocols that name an address tell remotes apart; the bare codings do not.
bool named(const ProtocolName& p) {
    return p.kind != ProtocolKind::Undecoded && p.kind != ProtocolKind::PulseDistance &&
           p.kind != ProtocolKind::PulseWidth;
}

bool sameRemote(const ProtocolName& a, const ProtocolName& b) {
    const auto addresses = [](const ProtocolName& p) {
        std::vector<std::uint32_t> all{p.address};
        if (p.otherAddress) all.push_back(*p.otherAddress);
        return all;
    };
    if (a.kind != b.kind) return false;
    const auto mine = addresses(a);
    const auto theirs = addresses(b);
    return std::any_of(mine.begin(), mine.end(), [&](std::uint32_t x) {
        return std::find(theirs.begin(), theirs.end(), x) != theirs.end();
    });
}

// The receiver would not read the press as one of the table's remote: its coding or its leader
// falls outside the table's windows, or it names a protocol and address no row has.
bool otherRemote(const RemoteModel& model, const CodeRecord& press) {
    const TimingWindows w = timingWindows(model.header(), model.jitterPercent());
    if (press.format != w.format || !inside(press.leaderLow, w.leaderLow) ||
        !inside(press.leaderHigh, w.leaderHigh)) {
        return true;
    }
    const ProtocolName mine = identifyProtocol(press);
    if (!named(mine)) return false;
    return std::none_of(model.buttons().begin(), model.buttons().end(), [&](const ButtonRecord& b) {
        return b.code.occupied() && sameRemote(mine, identifyProtocol(b.code));
    });
}

}  // namespace

PressLookup lookUpPress(const RemoteModel& model, const CodeRecord& press) {
    if (const auto slot = model.slotOfCode(press.codeValue))
        return {PressLookup::Verdict::Found, *slot, 0};
    const auto length = tableCodeLength(model);
    if (!length) return {};
    if (*length != press.bitCount) return {PressLookup::Verdict::OtherLength, 0, *length};
    if (otherRemote(model, press)) return {PressLookup::Verdict::OtherRemote, 0, *length};
    return {PressLookup::Verdict::NotInTable, 0, *length};
}

std::string pressLookupText(const RemoteModel& model, const CodeRecord& press,
                            const PressLookup& lookup, Language language) {
    const std::string code = codeValueText(press.codeValue);
    switch (lookup.verdict) {
        case PressLookup::Verdict::Found:
            break;
        case PressLookup::Verdict::NotInTable:
            return formatText(pick({"%s: not in this table", "%s: この表にはありません"}, language),
                              {code});
        case PressLookup::Verdict::OtherLength:
            return formatText(pick({"%s: not in this table (a different length: %u bits, the "
                                    "table's codes have %u)",
                                    "%s: この表にはありません (長さが違います: %u ビット、表の"
                                    "コードは %u ビット)"},
                                   language),
                              {code, press.bitCount, lookup.tableBits});
        case PressLookup::Verdict::OtherRemote:
            return formatText(pick({"%s: not in this table (another remote: %s)",
                                    "%s: この表にはありません (別のリモコン: %s)"},
                                   language),
                              {code, protocolText(identifyProtocol(press), language)});
    }
    const ButtonRecord& b = model.button(lookup.slot);
    const std::string comment = utf16ToUtf8(b.text.comment);
    std::string line = comment.empty() ? formatText("No %u: ", {lookup.slot + 1})
                                       : formatText("No %u %s: ", {lookup.slot + 1, comment});
    if (const auto m = macroReference(b.code.keys)) {
        const std::string name = utf16ToUtf8(model.macro(*m).name);
        return line + (name.empty()
                           ? formatText(pick({"macro %u", "マクロ %u"}, language), {*m + 1})
                           : formatText(pick({"macro %u (%s)", "マクロ %u (%s)"}, language),
                                        {*m + 1, name}));
    }
    if (b.code.keys[0] == 0 || b.text.sendText.empty())
        return line + std::string(pick({"types nothing", "入力なし"}, language));
    return line +
           formatText(pick({"types %s", "%s を入力"}, language), {utf16ToUtf8(b.text.sendText)});
}

ButtonTestSession::ButtonTestSession(CUsbhidioc& link, DeviceCommands& commands, LogSink& log,
                                     const RemoteModel& model, ButtonTestView& view,
                                     Notifier& notifier, Language language)
    : reader_(link, commands, log, notifier, language, [this] { deviceLeft(); }),
      commands_(commands),
      model_(model),
      view_(view),
      notifier_(notifier),
      language_(language) {
    // Said from the start, so the window takes the room it needs before it is placed.
    setPrompt(captureText(CaptureText::TestPrompt, language_));
}

void ButtonTestSession::shown() {
    reader_.restart();
    setPrompt(captureText(CaptureText::TestPrompt, language_));
    startTimer();
}

void ButtonTestSession::timerFired() {
    if (!timerRunning_) return;
    stopTimer();
    switch (reader_.poll()) {
        case PollOutcome::Gone:
        case PollOutcome::Stopped:
            return;
        case PollOutcome::ReadFailed:
            if (!reader_.drop()) return;
            break;
        case PollOutcome::Waiting:
            break;
        case PollOutcome::Read:
            readPresses();
            if (gone_) return;
            break;
    }
    setPrompt(captureText(reader_.arriving() ? CaptureText::Arriving : CaptureText::TestPrompt,
                          language_));
    startTimer();
}

// Every press of the capture is told, in the order they were made.
void ButtonTestSession::readPresses() {
    using Kind = CapturePiece::Kind;
    const std::vector<CapturePiece>& pieces = reader_.pieces();
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        const CapturePiece& p = pieces[k];
        if (p.kind == Kind::Unfinished) {
            reader_.readUpTo(k);
            return;
        }
        if (p.kind == Kind::CutShort)
            view_.addLine(captureText(CaptureText::TestCutShort, language_));
        if (p.kind != Kind::Press) continue;
        tell(periodsOf(reader_.low(), p), periodsOf(reader_.high(), p));
    }
    reader_.readUpTo(pieces.size());
}

void ButtonTestSession::tell(std::span<const std::uint16_t> low,
                             std::span<const std::uint16_t> high) {
    const CodeRecord press = decodeCapture(low, high);
    if (press.codeValue == 0 || press.codeValue == kCodeTooLong) {
        view_.addLine(captureText(CaptureText::TestNothingRead, language_));
        return;
    }
    const PressLookup lookup = lookUpPress(model_, press);
    view_.addLine(pressLookupText(model_, press, lookup, language_));
    if (lookup.verdict == PressLookup::Verdict::Found) view_.showRow(lookup.slot);
}

void ButtonTestSession::deviceLeft() {
    if (gone_ || closed_) return;
    gone_ = true;
    stopTimer();
    setPrompt(captureText(CaptureText::TestPlugIn, language_));
    notifier_.show(Message{"", std::string(captureText(CaptureText::TestUnplugged, language_)),
                           MessageKind::Notice});
}

void ButtonTestSession::close() {
    if (closed_) return;
    closed_ = true;
    stopTimer();
    if (!gone_ && !commands_.CaptureMode(kCaptureModeOff)) reader_.linkFailed();
}

void ButtonTestSession::setPrompt(std::string_view text) {
    if (text == prompt_) return;
    prompt_ = text;
    view_.setPrompt(prompt_);
}

void ButtonTestSession::startTimer() {
    timerRunning_ = true;
    view_.startTimer(kCapturePollMs);
}

void ButtonTestSession::stopTimer() {
    timerRunning_ = false;
    view_.stopTimer();
}

}  // namespace tessik
