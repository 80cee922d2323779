#include "core/text/strings.hpp"

#include <array>

#include "core/text/bilingual.hpp"

namespace tessik {
namespace {

struct Entry {
    int id;
    Bilingual text;
};

// Kept exactly as the tool has always shown them, trailing spaces and spellings included:
// users and their documentation quote these texts.
constexpr Entry kStrings[] = {
    {101, "Version Tessik(&A)...", "バージョン情報 Tessik(&A)..."},
    {103, "Infrared-remote-control setting tool", "赤外線リモコン設定ツール"},
    {104, "Failed", "設定失敗"},
    {105, "Success", "設定完了"},
    {106, "The number of button registration reached the maximum.",
     "ボタン登録数が上限に達しました。"},
    {107, "Please push the remote control button to register. ",
     "登録するリモコンボタンを押してください。"},
    {108, "Under remote control reception standby. The 1st time.", "リモコン受信待機中 1回目"},
    {109, "Please push the same remote control button once again. ",
     "もう一度同じリモコンボタンを押してください。"},
    {110, "Under remote control reception standby. The 2nd time.", "リモコン受信待機中 2回目"},
    {111, "Reading completion.", "リモコンボタン読み取り完了。"},
    {112, "Reading was not completed normally.\nPlease push a remote control button again.",
     "読み取りが正常に完了しませんでした。\n再度リモコンボタンを押してください。"},
    {113,
     "The length of this button code differs from other codes. \nPlease push a remote control "
     "button again.",
     "このボタンコードの長さが他のコードと違います。\n再度リモコンボタンを押してください。"},
    {114, "This button is already taken in.\nPlease push a different remote control button.",
     "このボタンは既に取り込まれています。\n違うリモコンボタンを押してください。"},
    {115, "It is a code different from the 1st time.\nPlease push a remote control button again.",
     "1回目と違うコードです。\nもう一度リモコンボタンを押してください。"},
    {116, "Reading was not completed normally.\nPlease push a remote control button again.",
     "読み取りが正常に完了しませんでした。\n再度リモコンボタンを押してください。"},
    {117, "Macro registration", "マクロ登録"},
    {118, "The number of macro registration reached the maximum. ",
     "マクロ登録数が上限に達しました。"},
    {119, "The data which is not saved is canceled.\nDoes it exit?",
     "保存されていないデータは破棄されます。\n終了しますか？"},
    {120, "New Macro", "新規追加"},
    {121, "The file has already existed.\nDoes it overwrite?",
     "既にファイルが存在しています。\n上書きしますか？"},
    {122, "Does it overwrite? ", "ファイルを上書きしますか？"},
    {123, "The file has broken. Or it is not a data file. ",
     "ファイルが壊れているか、リモコンデータファイルではありません。"},
    {124, "Is No.%d deleted?", "No.%d を削除しますか？"},
    {125, "Comment", "コメント"},
    {126, "Command", "コマンド"},
    {127, "Ir Data", "赤外線コード"},
    {128, "Send Charactor", "送信文字列"},
    {129, "Comment", "コメント"},
    {130, "No", "No"},
    {131, "Macro Name", "マクロ名"},
    {132, "Inteval", "Inteval"},
    {133, "Command1", "コマンド1"},
    {134, "Command2", "コマンド2"},
    {135, "Command3", "コマンド3"},
    {136, "Command4", "コマンド4"},
    {137, "Command5", "コマンド5"},
    {138, "Command6", "コマンド6"},
    {139, "Command7", "コマンド7"},
    {140, "Command8", "コマンド8"},
    {141, "Jitter (%d%%)", "ジッター量(%d%%)"},
    {142, "The device is not connected.", "デバイスが接続されていません"},
    {144, "The data which is not saved is canceled. \nDoes it continue? ",
     "保存されていないデータは破棄されます。\n続けますか？"},
    {145, "Firmware update succeeded.", "ファームウェアアップデート成功"},
    {146, "Firmware update failed.", "ファームウェアアップデート失敗"},
    {147, "Ir Data length over.", "コード制限オーバー"},
    {148, "There is a device firmware update waiting state. \nRun the firmware updates.",
     "ファームウェアアップデート待機状態のデバイスがあります。\nファームウェアアップデートを実行し"
     "て下さい。"},
    // Linux only lets a user open a hidraw node that a udev rule gives them; saying "not
    // connected" there would send them looking at the cable.
    {149,
     "The device is connected, but you have no permission to open it.\nInstall the udev rule "
     "70-tessik.rules (see Help, \"Linux: access to the receiver\") and plug the device in "
     "again.",
     "デバイスは接続されていますが、開く権限がありません。\nudev ルール 70-tessik.rules "
     "をインストールして（ヘルプの「Linux：受信機へのアクセス権」を参照）、デバイスを接続し直して"
     "ください。"},
};

const Entry* find(int id) {
    for (const Entry& e : kStrings) {
        if (e.id == id) return &e;
    }
    return nullptr;
}

}  // namespace

std::string_view text(StringId id, Language language) {
    const Entry* e = find(static_cast<int>(id));
    if (e == nullptr) return {};
    return pick(e->text, language);
}

std::string_view text(StringId id) {
    return text(id, uiLanguage());
}

StringId commandColumn(int n) {
    return static_cast<StringId>(static_cast<int>(StringId::ColumnCommand1) + n);
}

bool hasText(int id) {
    return find(id) != nullptr;
}

}  // namespace tessik
