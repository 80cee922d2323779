#include "core/layouts/roles.hpp"

#include <array>

namespace tessik {
namespace {

constexpr StandardRole kRoles[] = {
    {"Power", {"Power", "電源"}},
    {"Up", {"Up", "上"}},
    {"Down", {"Down", "下"}},
    {"Left", {"Left", "左"}},
    {"Right", {"Right", "右"}},
    {"OK", {"OK", "決定"}},
    {"Back", {"Back", "戻る"}},
    {"Home", {"Home", "ホーム"}},
    {"Menu", {"Menu", "メニュー"}},
    {"Info", {"Info", "情報"}},
    {"Guide", {"Guide", "番組表"}},
    {"PlayPause", {"Play/Pause", "再生/一時停止"}},
    {"Play", {"Play", "再生"}},
    {"Pause", {"Pause", "一時停止"}},
    {"Stop", {"Stop", "停止"}},
    {"Next", {"Next", "次へ"}},
    {"Previous", {"Previous", "前へ"}},
    {"FastForward", {"Fast forward", "早送り"}},
    {"Rewind", {"Rewind", "巻き戻し"}},
    {"Record", {"Record", "録画"}},
    {"VolumeUp", {"Vol+", "音量+"}},
    {"VolumeDown", {"Vol-", "音量-"}},
    {"Mute", {"Mute", "消音"}},
    {"ChannelUp", {"Ch+", "チャンネル+"}},
    {"ChannelDown", {"Ch-", "チャンネル-"}},
    {"1", {"1", "1"}},
    {"2", {"2", "2"}},
    {"3", {"3", "3"}},
    {"4", {"4", "4"}},
    {"5", {"5", "5"}},
    {"6", {"6", "6"}},
    {"7", {"7", "7"}},
    {"8", {"8", "8"}},
    {"9", {"9", "9"}},
    {"0", {"0", "0"}},
    {"Red", {"Red", "赤"}},
    {"Green", {"Green", "緑"}},
    {"Yellow", {"Yellow", "黄"}},
    {"Blue", {"Blue", "青"}},
    {"Subtitles", {"Subtitles", "字幕"}},
    {"Audio", {"Audio", "音声"}},
};

struct SignalName {
    std::string_view key;  // as signalNameKey gives it
    std::string_view role;
};

// How remote-code files name their buttons. "ENTER" is the centre button on many remotes and
// the digit-entry key on others; either way it confirms, as OK does. "EXIT" leaves a menu.
constexpr SignalName kSignalNames[] = {
    {"POWER", "Power"},
    {"PWR", "Power"},
    {"POWERTOGGLE", "Power"},
    {"ONOFF", "Power"},
    {"STANDBY", "Power"},
    {"UP", "Up"},
    {"UPARROW", "Up"},
    {"ARROWUP", "Up"},
    {"CURSORUP", "Up"},
    {"NAVUP", "Up"},
    {"DOWN", "Down"},
    {"DN", "Down"},
    {"DOWNARROW", "Down"},
    {"DNARROW", "Down"},
    {"ARROWDOWN", "Down"},
    {"CURSORDOWN", "Down"},
    {"NAVDOWN", "Down"},
    {"LEFT", "Left"},
    {"LEFTARROW", "Left"},
    {"ARROWLEFT", "Left"},
    {"CURSORLEFT", "Left"},
    {"NAVLEFT", "Left"},
    {"RIGHT", "Right"},
    {"RIGHTARROW", "Right"},
    {"ARROWRIGHT", "Right"},
    {"CURSORRIGHT", "Right"},
    {"NAVRIGHT", "Right"},
    {"OK", "OK"},
    {"ENTER", "OK"},
    {"SELECT", "OK"},
    {"CONFIRM", "OK"},
    {"BACK", "Back"},
    {"RETURN", "Back"},
    {"EXIT", "Back"},
    {"BACKSPACE", "Back"},
    {"HOME", "Home"},
    {"HOMEPAGE", "Home"},
    {"MENU", "Menu"},
    {"MAINMENU", "Menu"},
    {"CONTEXTMENU", "Menu"},
    {"OPTIONS", "Menu"},
    {"INFO", "Info"},
    {"DISPLAY", "Info"},
    {"DISP", "Info"},
    {"OSD", "Info"},
    {"GUIDE", "Guide"},
    {"EPG", "Guide"},
    {"PLAYPAUSE", "PlayPause"},
    {"PAUSEPLAY", "PlayPause"},
    {"PLAY", "Play"},
    {"PAUSE", "Pause"},
    {"STOP", "Stop"},
    {"NEXT", "Next"},
    {"SKIPNEXT", "Next"},
    {"NEXTTRACK", "Next"},
    {"NEXTSONG", "Next"},
    {"TRACK+", "Next"},
    {"SKIP+", "Next"},
    {"SKIPFWD", "Next"},
    {"SKIPFORWARD", "Next"},
    {"PREV", "Previous"},
    {"PREVIOUS", "Previous"},
    {"SKIPPREV", "Previous"},
    {"SKIPPREVIOUS", "Previous"},
    {"PREVTRACK", "Previous"},
    {"PREVIOUSTRACK", "Previous"},
    {"PREVIOUSSONG", "Previous"},
    {"TRACK-", "Previous"},
    {"SKIP-", "Previous"},
    {"SKIPBACK", "Previous"},
    {"FF", "FastForward"},
    {"FFWD", "FastForward"},
    {"FWD", "FastForward"},
    {"FORWARD", "FastForward"},
    {"FASTFORWARD", "FastForward"},
    {"FASTFWD", "FastForward"},
    {"FSCAN", "FastForward"},
    {"FSRCH", "FastForward"},
    {"FSEARCH", "FastForward"},
    {"REW", "Rewind"},
    {"REWIND", "Rewind"},
    {"RWD", "Rewind"},
    {"FASTREWIND", "Rewind"},
    {"RSCAN", "Rewind"},
    {"RSRCH", "Rewind"},
    {"RSEARCH", "Rewind"},
    {"BACKWARD", "Rewind"},
    {"REC", "Record"},
    {"RECORD", "Record"},
    {"VOL+", "VolumeUp"},
    {"VOLUP", "VolumeUp"},
    {"VOLUME+", "VolumeUp"},
    {"VOLUMEUP", "VolumeUp"},
    {"V+", "VolumeUp"},
    {"VOL-", "VolumeDown"},
    {"VOLDN", "VolumeDown"},
    {"VOLDOWN", "VolumeDown"},
    {"VOLUME-", "VolumeDown"},
    {"VOLUMEDOWN", "VolumeDown"},
    {"V-", "VolumeDown"},
    {"MUTE", "Mute"},
    {"CH+", "ChannelUp"},
    {"CHUP", "ChannelUp"},
    {"CHANNEL+", "ChannelUp"},
    {"CHANNELUP", "ChannelUp"},
    {"CHNEXT", "ChannelUp"},
    {"P+", "ChannelUp"},
    {"PROG+", "ChannelUp"},
    {"PR+", "ChannelUp"},
    {"PROGRAM+", "ChannelUp"},
    {"CH-", "ChannelDown"},
    {"CHDN", "ChannelDown"},
    {"CHDOWN", "ChannelDown"},
    {"CHANNEL-", "ChannelDown"},
    {"CHANNELDOWN", "ChannelDown"},
    {"CHPREV", "ChannelDown"},
    {"P-", "ChannelDown"},
    {"PROG-", "ChannelDown"},
    {"PR-", "ChannelDown"},
    {"PROGRAM-", "ChannelDown"},
    {"RED", "Red"},
    {"GREEN", "Green"},
    {"YELLOW", "Yellow"},
    {"BLUE", "Blue"},
    {"SUBTITLE", "Subtitles"},
    {"SUBTITLES", "Subtitles"},
    {"SUB", "Subtitles"},
    {"SUBT", "Subtitles"},
    {"AUDIO", "Audio"},
    {"LANGUAGE", "Audio"},
    {"LANG", "Audio"},
};

// Spellings of a digit button: "7", "NUM7", "NUMERIC7" (LIRC's KEY_NUMERIC_7), "DIGIT7".
constexpr std::string_view kDigitPrefixes[] = {"", "NUM", "NUMERIC", "DIGIT"};

bool removed(char c) {
    return c == ' ' || c == '\t' || c == '_' || c == '.' || c == '/';
}

}  // namespace

std::span<const StandardRole> standardRoles() {
    return kRoles;
}

const StandardRole* findStandardRole(std::string_view id) {
    for (const StandardRole& r : kRoles) {
        if (r.id == id) return &r;
    }
    return nullptr;
}

std::string signalNameKey(std::string_view name) {
    std::string upper;
    for (const char c : name)
        upper += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    std::string_view rest = upper;
    while (!rest.empty() && removed(rest.front()))
        rest.remove_prefix(1);
    // LIRC's namespace of button names ("KEY_VOLUMEUP", "BTN_1").
    for (const std::string_view prefix : {"KEY_", "BTN_"}) {
        if (rest.size() > prefix.size() && rest.starts_with(prefix)) {
            rest.remove_prefix(prefix.size());
            break;
        }
    }
    std::string kept;
    for (const char c : rest) {
        if (!removed(c)) kept += c;
    }
    std::string key;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (kept[i] != '-' || i + 1 == kept.size()) key += kept[i];
    }
    return key;
}

std::vector<std::string> signalNameKeys(std::string_view name) {
    std::vector<std::string> keys;
    for (std::size_t at = 0; at < name.size(); ++at) {
        if (at == 0 || name[at - 1] == ' ' || name[at - 1] == '\t') {
            std::string key = signalNameKey(name.substr(at));
            if (!key.empty() && (keys.empty() || keys.back() != key))
                keys.push_back(std::move(key));
        }
    }
    return keys;
}

std::optional<std::string_view> roleOfSignalName(std::string_view name) {
    for (const std::string& key : signalNameKeys(name)) {
        for (const SignalName& s : kSignalNames) {
            if (s.key == key) return s.role;
        }
        for (const std::string_view prefix : kDigitPrefixes) {
            if (key.size() == prefix.size() + 1 && key.starts_with(prefix) && key.back() >= '0' &&
                key.back() <= '9') {
                return findStandardRole(key.substr(prefix.size()))->id;
            }
        }
    }
    return std::nullopt;
}

}  // namespace tessik
