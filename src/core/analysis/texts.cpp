#include "core/analysis/texts.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/text/bilingual.hpp"
#include "core/text/format.hpp"

namespace tessik {
namespace {

// A percentage with one decimal, "7.9".
std::string percentText(double percent) {
    const long tenths = std::lround(std::max(percent, 0.0) * 10.0);
    return formatText("%d.%d", {tenths / 10, tenths % 10});
}

std::string addressText(const ProtocolName& p, Language language) {
    const std::string_view hex = p.kind == ProtocolKind::NecExtended ? "0x%04X" : "0x%02X";
    std::string text = formatText(hex, {p.address});
    if (p.otherAddress) {
        text +=
            std::string(pick({" or ", " または "}, language)) + formatText(hex, {*p.otherAddress});
    }
    return text;
}

std::string_view kindText(ProtocolKind kind, Language language) {
    switch (kind) {
        case ProtocolKind::Undecoded:
            return pick({"not decoded", "未解析"}, language);
        case ProtocolKind::PulseDistance:
            return pick({"pulse distance, %d bits", "パルス間隔方式、%dビット"}, language);
        case ProtocolKind::PulseWidth:
            return pick({"pulse width, %d bits", "パルス幅方式、%dビット"}, language);
        case ProtocolKind::Nec:
            return "NEC";
        case ProtocolKind::NecExtended:
            return pick({"NEC extended", "NEC 拡張"}, language);
        case ProtocolKind::Samsung:
            return "Samsung";
        case ProtocolKind::Sirc12:
            return "SIRC 12";
        case ProtocolKind::Sirc15:
            return "SIRC 15";
        case ProtocolKind::Sirc20:
            return "SIRC 20";
        case ProtocolKind::Aeha:
            return "AEHA";
    }
    return {};
}

std::string marginLine(const std::vector<PairMargin>& margins, std::int32_t jitter,
                       Language language) {
    const auto overlap = std::find_if(margins.begin(), margins.end(),
                                      [](const PairMargin& m) { return m.overlaps(); });
    if (overlap != margins.end()) {
        return formatText(
            pick({"At %d%%: the windows of %s overlap.", "%d%% では%sの窓が重なります。"},
                 language),
            {jitter, pairText(overlap->pair, language)});
    }
    const auto closest = std::min_element(
        margins.begin(), margins.end(),
        [](const PairMargin& a, const PairMargin& b) { return a.marginUs < b.marginUs; });
    return formatText(
        pick({"At %d%%: safe, %d µs to spare between %s.", "%d%% では安全です（余裕 %d µs、%s）。"},
             language),
        {jitter, closest->marginUs, pairText(closest->pair, language)});
}

std::string limitLine(std::optional<std::int32_t> limit, Language language) {
    if (!limit) {
        return std::string(
            pick({"The windows overlap even without jitter.", "ジッターなしでも窓が重なります。"},
                 language));
    }
    return formatText(pick({"Overlap limit: %d%%", "重なり限界: %d%%"}, language), {*limit});
}

// Which jitter is suggested, or why none is.
std::string adviceText(double spread, std::optional<std::int32_t> limit, Language language) {
    const JitterSuggestion s = suggestJitter(spread, limit);
    switch (s.outcome) {
        case SuggestionOutcome::Suggested:
            return formatText(pick({"suggested jitter %d%%.", "推奨ジッター %d%%。"}, language),
                              {s.jitter});
        case SuggestionOutcome::BeyondSlider:
            return formatText(pick({"it would take %d%%, more than the %d%% the slider offers.",
                                    "%d%% が必要ですが、設定できるのは %d%% までです。"},
                                   language),
                              {s.jitter, kJitterMaxPercent});
        case SuggestionOutcome::WouldOverlap:
            if (!limit) {
                return std::string(pick({"no jitter helps while the windows overlap.",
                                         "窓が重なっているため、ジッターでは解決しません。"},
                                        language));
            }
            return formatText(pick({"it would take %d%%, but the windows overlap above %d%%.",
                                    "%d%% が必要ですが、%d%% を超えると窓が重なります。"},
                                   language),
                              {s.jitter, *limit});
    }
    return {};
}

}  // namespace

std::string protocolText(const ProtocolName& p, Language language) {
    const std::string_view kind = kindText(p.kind, language);
    switch (p.kind) {
        case ProtocolKind::Undecoded:
            return std::string(kind);
        case ProtocolKind::PulseDistance:
        case ProtocolKind::PulseWidth:
            return formatText(kind, {p.bits});
        case ProtocolKind::Aeha:
            return formatText(
                pick({"%s, vendor code 0x%04X", "%s、メーカーコード 0x%04X"}, language),
                {kind, p.address});
        default:
            return formatText(
                pick({"%s, address %s, command 0x%02X", "%s、アドレス %s、コマンド 0x%02X"},
                     language),
                {kind, addressText(p, language), p.command});
    }
}

std::string_view pairText(WindowPair pair, Language language) {
    switch (pair) {
        case WindowPair::OneZero:
            return pick({"data one and data zero", "データ1とデータ0"}, language);
        case WindowPair::LeaderOne:
            return pick({"leader and data one", "リーダーとデータ1"}, language);
        case WindowPair::LeaderZero:
            return pick({"leader and data zero", "リーダーとデータ0"}, language);
    }
    return {};
}

std::string_view groupText(TimingGroupId group, Language language) {
    switch (group) {
        case TimingGroupId::LeaderHigh:
            return pick({"leader high", "リーダー High"}, language);
        case TimingGroupId::LeaderLow:
            return pick({"leader low", "リーダー Low"}, language);
        case TimingGroupId::One:
            return pick({"data one", "データ1"}, language);
        case TimingGroupId::Low:
            return pick({"data low", "データ Low"}, language);
        case TimingGroupId::High:
            return pick({"data high", "データ High"}, language);
    }
    return {};
}

std::string jitterVerdictText(const RemoteHeader& header, std::int32_t jitterPercent,
                              std::optional<double> spreadPercent, Language language) {
    const std::vector<PairMargin> margins = pairMargins(header, jitterPercent);
    if (margins.empty()) {
        return std::string(
            pick({"No codes to compare yet.", "比較するコードがまだありません。"}, language));
    }
    const std::optional<std::int32_t> limit = overlapLimit(header);
    std::string text = limitLine(limit, language) + '\n';
    if (spreadPercent) {
        text += formatText(pick({"Presses vary by up to ±%s%%: ", "押下のばらつきは最大 ±%s%%: "},
                                language),
                           {percentText(*spreadPercent)}) +
                adviceText(*spreadPercent, limit, language) + '\n';
    }
    return text + marginLine(margins, jitterPercent, language);
}

std::string overlapRefusalText(const RemoteHeader& header, std::int32_t jitterPercent,
                               Language language) {
    const std::vector<PairMargin> margins = pairMargins(header, jitterPercent);
    const auto overlap = std::find_if(margins.begin(), margins.end(),
                                      [](const PairMargin& m) { return m.overlaps(); });
    if (overlap == margins.end()) return {};
    const std::string_view pair = pairText(overlap->pair, language);
    const std::optional<std::int32_t> limit = overlapLimit(header);
    if (!limit) {
        return formatText(pick({"Nothing was written: the receiver's windows of %s overlap even "
                                "without jitter, so it could not tell them apart.",
                                "書き込みません: ジッターなしでも%sの受信窓が重なり、"
                                "受信機が区別できません。"},
                               language),
                          {pair});
    }
    return formatText(pick({"Nothing was written: at the jitter of %d%% the receiver's windows "
                            "of %s overlap, so it could not tell them apart. Set the jitter to "
                            "%d%% or less.",
                            "書き込みません: ジッター %d%% では%sの受信窓が重なり、受信機が"
                            "区別できません。ジッターを %d%% 以下にしてください。"},
                           language),
                      {jitterPercent, pair, *limit});
}

std::string jitterOutOfRangeText(std::int32_t stored, std::int32_t used, Language language) {
    return formatText(pick({"The file's jitter of %d%% lies outside 0 to 100%%; %d%% is used.",
                            "ファイルのジッター %d%% は 0〜100%% の範囲外です。%d%% を使います。"},
                           language),
                      {stored, used});
}

std::string confirmedCodeText(const ProtocolName& name, const PressSpread& spread,
                              Language language) {
    std::string text = protocolText(name, language);
    const auto widest = std::max_element(
        spread.groups.begin(), spread.groups.end(),
        [](const GroupDeviation& a, const GroupDeviation& b) { return a.percent < b.percent; });
    if (widest == spread.groups.end()) return text;
    if (widest->percent <= 0) {
        return text + '\n' +
               std::string(pick({"The presses are alike.", "2回の押下は同じです。"}, language));
    }
    return text + '\n' +
           formatText(
               pick({"Presses vary by up to ±%s%% (%s).", "押下のばらつき: 最大 ±%s%%（%s）"},
                    language),
               {percentText(widest->percent), groupText(widest->group, language)});
}

std::string spreadWarningText(const PressSpread& spread, std::int32_t jitterPercent,
                              std::optional<std::int32_t> limit, Language language) {
    if (spread.widest() <= jitterPercent) return {};
    return formatText(pick({"The presses vary by more than the jitter of %d%%: ",
                            "押下のばらつきがジッター %d%% を超えています: "},
                           language),
                      {jitterPercent}) +
           adviceText(spread.widest(), limit, language);
}

std::string_view signalText(SignalText id, Language language) {
    switch (id) {
        case SignalText::Leader:
            return pick({"Leader", "リーダー"}, language);
        case SignalText::FirstPress:
            return pick({"1st press", "1回目"}, language);
        case SignalText::SecondPress:
            return pick({"2nd press", "2回目"}, language);
        case SignalText::Window:
            return pick({"receiver's window", "受信の許容範囲"}, language);
        case SignalText::Missed:
            return pick({"outside its window", "範囲外"}, language);
        case SignalText::Milliseconds:
            return "ms";
        case SignalText::Empty:
            return pick({"No signal", "信号なし"}, language);
        case SignalText::Description:
            return pick({"The pulse train of the code on a time axis: bursts raised, pauses "
                         "lowered, the leader and the bit values labelled, the receiver's "
                         "windows as bands. Zoom with the mouse wheel or the + and - keys.",
                         "コードのパルス列を時間軸上に表示します。バーストを上、休止を下に描き、"
                         "リーダーとビット値を示し、受信の許容範囲を帯で示します。"
                         "マウスホイールまたは + / - キーで拡大・縮小します。"},
                        language);
        case SignalText::NoRow:
            return pick({"Select a button in the list to see its signal.",
                         "一覧でボタンを選ぶと、その信号を表示します。"},
                        language);
    }
    return {};
}

std::string signalHeadingText(std::size_t slot, const CodeRecord& code, std::int32_t jitterPercent,
                              Language language) {
    return formatText(pick({"Button %d: %s\n%s\nWindows at %d%% jitter",
                            "ボタン %d: %s\n%s\nジッター %d%% の許容範囲"},
                           language),
                      {static_cast<int>(slot + 1), codeValueText(code.codeValue),
                       protocolText(identifyProtocol(code), language), jitterPercent});
}

std::string leftOutText(const std::vector<std::size_t>& leftOut, Language language) {
    if (leftOut.empty()) return {};
    std::string numbers;
    for (const std::size_t slot : leftOut)
        numbers += (numbers.empty() ? "" : ", ") + formatText("No %d", {slot + 1});
    return formatText(
        pick({"%d button(s) could not be written so that they read back as the same code, and "
              "were left out: %s.",
              "%d 件のボタンは同じコードとして読み戻せないため、書き出していません: %s。"},
             language),
        {leftOut.size(), numbers});
}

}  // namespace tessik
