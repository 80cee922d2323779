#include "sim/remote_panel.hpp"

#include "core/keys/key_codes.hpp"
#include "core/model/remote_model.hpp"
#include "core/text/bilingual.hpp"
#include "core/text/format.hpp"

namespace tessik::sim {
namespace {

// The keys of one press as a send string, each macro step after the pause before it.
std::string typedText(const std::vector<TypedKey>& keys, Language language) {
    std::string out;
    std::optional<std::uint32_t> lastUp;
    for (const TypedKey& k : keys) {
        if (!k.down) {
            lastUp = k.atMs;
            continue;
        }
        // Keys of one list follow each other one report apart; a longer gap is a macro's pause.
        if (lastUp && k.atMs - *lastUp > kKeyReportIntervalMs) {
            out +=
                formatText(pick({", after %u ms: ", "、%u ms 後: "}, language), {k.atMs - *lastUp});
        }
        out += keyCodeText(static_cast<KeyCode>(k.modifiers << 8 | k.usage), "");
    }
    return out;
}

}  // namespace

std::string_view panelText(PanelText text, Language language) {
    switch (text) {
        case PanelText::Caption:
        case PanelText::MenuEntry:
            return pick({"Virtual Remote", "仮想リモコン"}, language);
        case PanelText::TimingNoise:
            return pick({"Timing noise:", "タイミングのゆらぎ:"}, language);
        case PanelText::Log:
            return pick({"Presses:", "押したボタン:"}, language);
        case PanelText::Unplug:
            return pick({"Unplug", "取り外す"}, language);
        case PanelText::PlugIn:
            return pick({"Plug in", "接続する"}, language);
        case PanelText::Unplugged:
            return pick({"Receiver unplugged", "受信機を取り外しました"}, language);
        case PanelText::PluggedIn:
            return pick({"Receiver plugged in", "受信機を接続しました"}, language);
    }
    return {};
}

std::string pressLogLine(const VirtualRemote& remote, std::string_view button,
                         const PressResult& result, const DeviceTable& table, Language language) {
    std::string line = formatText("%s %s: ", {remote.name, button});
    switch (result.heard) {
        case Heard::NoSuchButton:
            return line + std::string(pick({"no such button", "そのボタンはありません"}, language));
        case Heard::NotListening:
            return line +
                   std::string(pick({"the receiver is not listening (unplugged, or in its "
                                     "boot loader)",
                                     "受信機は受信していません (未接続またはブートローダー)"},
                                    language));
        case Heard::Captured:
            return line +
                   formatText(pick({"captured, %u entries", "キャプチャ %u エントリ"}, language),
                              {result.entries});
        case Heard::NotRecognised:
            return line + std::string(pick({"no button matched", "一致するボタンなし"}, language));
        case Heard::Typed:
            break;
    }
    const std::size_t slot = result.slot.value_or(0);
    line += formatText("No %u", {slot + 1});
    if (const auto macro = macroReference(table.returnCode(slot).keys)) {
        line += formatText(pick({", macro %u", "、マクロ %u"}, language), {*macro + 1});
    }
    const std::string keys = typedText(result.keys, language);
    return line + ": " +
           (keys.empty() ? std::string(pick({"types nothing", "入力なし"}, language)) : keys);
}

}  // namespace tessik::sim
