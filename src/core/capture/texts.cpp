#include "core/capture/texts.hpp"

#include "core/bytes/utf.hpp"
#include "core/text/bilingual.hpp"
#include "core/text/format.hpp"

namespace tessik {

std::string_view captureText(CaptureText id, Language language) {
    switch (id) {
        case CaptureText::Arriving:
            return pick(
                {"A signal is coming in. Reading it...", "信号を受信しました。読み取り中..."},
                language);
        case CaptureText::Unplugged:
            return pick({"The receiver was unplugged. The codes stored so far are kept.",
                         "受信機が取り外されました。登録済みのコードはそのまま残っています。"},
                        language);
        case CaptureText::CapturePlugIn:
            return pick(
                {"Plug the receiver in and open Capture Ir Data again.",
                 "受信機を接続してから、もう一度「リモコンデータ取り込み」を開いてください。"},
                language);
        case CaptureText::TestUnplugged:
            return pick({"The receiver was unplugged.", "受信機が取り外されました。"}, language);
        case CaptureText::TestPlugIn:
            return pick({"Plug the receiver in and open Test Buttons again.",
                         "受信機を接続してから、もう一度「ボタンのテスト」を開いてください。"},
                        language);
        case CaptureText::TestPrompt:
            return pick({"Press remote control buttons: each one's row is selected. The receiver "
                         "types nothing while this window is open.",
                         "リモコンボタンを押すと、そのボタンの行が選択されます。このウィンドウを"
                         "開いている間、受信機は何も入力しません。"},
                        language);
        case CaptureText::TestCutShort:
            return pick({"The signal was cut short. Please press the button again.",
                         "信号が途中で切れました。もう一度ボタンを押してください。"},
                        language);
        case CaptureText::TestNothingRead:
            return pick({"Nothing could be read from this signal.",
                         "この信号からは何も読み取れませんでした。"},
                        language);
    }
    return {};
}

std::string rowsText(const std::vector<std::size_t>& slots) {
    std::string out;
    for (std::size_t i = 0; i < slots.size();) {
        std::size_t j = i;
        while (j + 1 < slots.size() && slots[j + 1] == slots[j] + 1)
            ++j;
        if (!out.empty()) out += ", ";
        out += formatText(j > i ? "%u–%u" : "%u", {slots[i] + 1, slots[j] + 1});
        i = j + 1;
    }
    return out;
}

std::string recapturePromptText(std::size_t slot, Language language) {
    return formatText(pick({"Please push the remote control button for No %u.",
                            "No %u のリモコンボタンを押してください。"},
                           language),
                      {slot + 1});
}

std::string recapturedText(std::size_t slot, Language language) {
    return formatText(
        pick({"No %u has its new code.", "No %u のコードを取り込み直しました。"}, language),
        {slot + 1});
}

std::string recaptureButtonText(std::size_t slot, Language language) {
    return formatText(pick({"&Re-capture No %u", "No %u を再取り込み(&R)"}, language), {slot + 1});
}

std::string otherLengthText(std::uint16_t bits, const std::vector<std::size_t>& slots,
                            std::uint16_t theirBits, std::optional<std::size_t> offer,
                            Language language) {
    const Bilingual one{"This code is %u bits long; No %s is %u bits long.",
                        "このコードは %u ビットですが、No %s は %u ビットです。"};
    const Bilingual several{"This code is %u bits long; No %s are %u bits long.",
                            "このコードは %u ビットですが、No %s は %u ビットです。"};
    std::string line = formatText(pick(slots.size() == 1 ? one : several, language),
                                  {bits, rowsText(slots), theirBits});
    if (!offer) return line;
    return line + formatText(pick({" If No %u came from another remote or a wrong press, capture "
                                   "it again.",
                                   "No %u が別のリモコンや押し間違いで取り込まれた場合は、取り込み"
                                   "直してください。"},
                                  language),
                             {*offer + 1});
}

std::string storedAsText(std::size_t slot, std::u16string_view comment, Language language) {
    if (comment.empty()) {
        return formatText(pick({"Stored as No %u.", "No %u として登録されています。"}, language),
                          {slot + 1});
    }
    return formatText(
        pick({"Stored as No %u (%s).", "No %u (%s) として登録されています。"}, language),
        {slot + 1, utf16ToUtf8(comment)});
}

}  // namespace tessik
