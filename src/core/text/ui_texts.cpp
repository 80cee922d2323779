#include "core/text/ui_texts.hpp"

#include "core/text/bilingual.hpp"

namespace tessik {
std::string_view caption(DialogId dialog, Language language) {
    switch (dialog) {
        case DialogId::About:
            return pick({"Software Version", "バージョン情報"}, language);
        case DialogId::Main:
            return pick({"Infrared-remote-control setting tool", "赤外線リモコン設定ツール"},
                        language);
        case DialogId::InputKey:
            return pick({"Input Send Charactor", "送信コード入力"}, language);
        case DialogId::Debug:
            return "DEBUG Message";  // one template, English in both
        case DialogId::Capture:
            return pick({"Ir Data Capture", "赤外線信号取り込み"}, language);
        case DialogId::Name:
            return pick({"Name Input", "リモコン名設定"}, language);
        case DialogId::Macro:
            return pick({"Macro registration", "マクロ登録"}, language);
        case DialogId::Jitter:
            return pick({"Set Up Jitter", "ジッター量設定"}, language);
        case DialogId::SetUp:
            return pick({"Set Up Data", "リモコンコード登録中"}, language);
        case DialogId::MacroList:
            return pick({"Macro List", "登録済みマクロ一覧"}, language);
        case DialogId::FirmwareUpdate:
            return pick({"Firmware Update", "ファームウェアアップデート"}, language);
        case DialogId::Import:
            return pick({"Import IR Codes", "リモコンコードのインポート"}, language);
        case DialogId::Signal:
            return pick({"Signal", "信号"}, language);
        case DialogId::ButtonTest:
            return pick({"Test Buttons", "ボタンのテスト"}, language);
        case DialogId::GuidedSetUp:
            return pick({"Guided Set-Up", "ガイド付き設定"}, language);
    }
    return {};
}

// Every menu and entry has its access key: Alt and the underlined letter, "&F" in English,
// "(&F)" after the Japanese text as Japanese menus show it. The texts around them are the
// receiver's tool's own.
std::vector<Menu> mainMenu(Language language) {
    const bool ja = language == Language::Japanese;
    auto item = [ja](CommandId id, std::string_view en, std::string_view jp,
                     std::string_view keys = {}) {
        return MenuItem{false, id, ja ? jp : en, keys};
    };
    const MenuItem sep{true, {}, {}};
    return {
        {ja ? "ファイル(&F)" : "&File",
         {item(CommandId::New, "&New", "新規(&N)", "Ctrl+N"),
          item(CommandId::GuidedSetUp, "&Guided Set-Up...", "ガイド付き設定(&G)..."), sep,
          item(CommandId::Open, "&Open...", "開く(&O)...", "Ctrl+O"),
          item(CommandId::Save, "&Save", "保存(&S)", "Ctrl+S"),
          item(CommandId::SaveAs, "Save &As", "名前をつけて保存(&A)...", "Ctrl+Shift+S"),
          item(CommandId::Import, "&Import...", "インポート(&I)...", "Ctrl+I"),
          item(CommandId::Export, "&Export...", "エクスポート(&E)...", "Ctrl+E"), sep,
          item(CommandId::Exit, "E&xit", "終了(&X)", "Ctrl+Q")}},
        {ja ? "編集(&E)" : "&Edit",
         {item(CommandId::Undo, "&Undo", "元に戻す(&U)", "Ctrl+Z"),
          item(CommandId::Redo, "&Redo", "やり直し(&R)", "Ctrl+Shift+Z; Ctrl+Y"), sep,
          item(CommandId::Capture, "&Capture Ir Data", "リモコンデータ取り込み(&C)"),
          item(CommandId::Recapture, "Re-c&apture...", "再取り込み(&A)..."),
          item(CommandId::EditKeys, "Edit &Keys...", "送信文字列の編集(&K)...", "F2"),
          item(CommandId::DeleteIr, "&Delete Ir Data", "リモコンデータ削除(&D)"),
          item(CommandId::TestButtons, "&Test Buttons", "ボタンのテスト(&T)"), sep,
          item(CommandId::SetUp, "Set U&p Ir Data", "リモコンデータ登録(&P)"), sep,
          item(CommandId::EditMacro, "Edit &Macro", "マクロ編集(&M)"),
          item(CommandId::Rename, "Re&name...", "リモコン名の変更(&N)..."), sep,
          item(CommandId::Signal, "Si&gnal", "信号(&G)")}},
        {ja ? "設定(&S)" : "&Setup",
         {item(CommandId::Jitter, "&Jitter", "ジッタ設定(&J)"), sep,
          item(CommandId::VirtualRemote, "&Virtual Remote...", "仮想リモコン(&V)...")}},
        // The Help menu is the same in both languages.
        {"&Help",
         {item(CommandId::Help, "&Help", "&Help", "F1"), sep,
          item(CommandId::About, "&About", "&About"), sep,
          item(CommandId::DebugWindow, "&Debug Window", "&Debug Window"), sep,
          item(CommandId::FirmwareUpdate, "&Firmware Update", "&Firmware Update")}},
    };
}

char mnemonic(std::string_view text) {
    const std::size_t at = text.find('&');
    if (at == std::string_view::npos || at + 1 >= text.size()) return 0;
    const char c = text[at + 1];
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string_view label(Label id, Language language) {
    switch (id) {
        case Label::Ok:
            return "OK";
        case Label::RowEdit:
            return pick({"&Edit...", "編集(&E)..."}, language);
        case Label::RowDelete:
            return pick({"&Delete", "削除(&D)"}, language);
        case Label::RowSignal:
            return pick({"Si&gnal", "信号(&G)"}, language);
        case Label::RowRecapture:
            return pick({"Re-c&apture...", "再取り込み(&A)..."}, language);
        case Label::TestPresses:
            return pick({"Presses:", "押したボタン:"}, language);
        case Label::JitterSlider:
            return pick({"Jitter in percent", "ジッター量 (%)"}, language);
        case Label::InputRecord:
            return pick({"&Record Key", "キーを記録(&R)"}, language);
        case Label::InputRecordHow:
            return pick(
                {"Keys pressed here become the send string, Tab, Esc and Enter included. "
                 "Press Record Key (Alt+R) before each key to record it from the "
                 "keyboard; a click into the box records keys until you click elsewhere.",
                 "ここで押したキーが送信文字列になります (Tab、Esc、Enter も含む)。"
                 "キーボードでは各キーの前に「キーを記録」(Alt+R) を押してください。"
                 "ボックスをクリックすると、ほかの場所をクリックするまでキーを記録します。"},
                language);
        case Label::Cancel:
            return pick({"Cancel", "キャンセル"}, language);
        case Label::Close:
            return pick({"Close", "閉じる"}, language);
        case Label::MainName:
            return pick({"Name:", "リモコン名:"}, language);
        case Label::NameEdit:
            return pick({"Name", "リモコン名"}, language);
        case Label::AboutFirmware:
            return "Firmware Ver %d.%d.%d";
        case Label::CaptureResult:
            return pick({"Result:", "結果:"}, language);
        case Label::CaptureComment:
            return pick({"Comment", "コメント"}, language);
        case Label::CaptureNext:
            return pick({"Next", "次へ"}, language);
        case Label::JitterTemplate:
            return "Jitter(%)";
        case Label::SetUpSet:
            return "SET";
        case Label::Progress:
            return pick({"Progress", "進行状況"}, language);
        case Label::UpdateLog:
            return pick({"Log", "ログ"}, language);
        case Label::InputComment:
            return pick({"Comment", "コメント"}, language);
        case Label::InputSendText:
            return pick({"Send Charactor", "送信文字列"}, language);
        case Label::InputLShift:
            return "L SHIFT";
        case Label::InputRShift:
            return "R SHIFT";
        case Label::InputLCtrl:
            return "L CTRL";
        case Label::InputRCtrl:
            return "R CTRL";
        case Label::InputLAlt:
            return "L ALT";
        case Label::InputRAlt:
            return "R ALT";
        case Label::InputLWin:
            return "L Win";
        case Label::InputRWin:
            return "R Win";
        case Label::InputMacro:
            return pick({"Macro", "マクロ"}, language);
        case Label::InputClear:
            return pick({"Clear", "クリア"}, language);
        case Label::InputPrev:
            return pick({"Prev", "前のコード"}, language);
        case Label::InputNext:
            return pick({"Next", "次のコード"}, language);
        case Label::MacroName:
            return pick({"Macro Name", "マクロ名"}, language);
        case Label::MacroInterval:
            return pick({"Interval", "インターバル"}, language);
        case Label::MacroMsec:
            return "msec";
        case Label::MacroAdd:
            return pick({"Add", "追加"}, language);
        case Label::MacroEdit:
            return pick({"Edit", "編集"}, language);
        case Label::MacroDelete:
            return pick({"Delete", "削除"}, language);
        // The firmware update dialog's buttons read the same in both languages.
        case Label::UpdateFileOpen:
            return "FileOpen";
        case Label::UpdateUpdate:
            return "Update";
        case Label::ImportName:
            return pick({"Name", "名前"}, language);
        case Label::ImportProtocol:
            return pick({"Protocol", "プロトコル"}, language);
        case Label::ImportCode:
            return pick({"Code", "コード"}, language);
        case Label::ImportResult:
            return pick({"Result", "結果"}, language);
        case Label::ImportImport:
            return pick({"Import", "インポート"}, language);
        case Label::ImportSummary:
            return pick({"%d of %d signals will be added.", "%d / %d 件の信号を追加します。"},
                        language);
        case Label::ImportLayout:
            return pick({"&Keys from layout:", "キーの割り当て(&K):"}, language);
        case Label::ImportNoLayout:
            return pick({"None (no keys)", "なし (キーを割り当てない)"}, language);
        case Label::ImportKeys:
            return pick({"Keys", "キー"}, language);
        case Label::MainEmpty:
            return pick({"No buttons yet. A guided set-up asks for them one by one and gives "
                         "each the keys it should type.",
                         "ボタンはまだ登録されていません。ガイド付き設定では、ボタンを 1 つずつ"
                         "登録し、入力するキーを割り当てます。"},
                        language);
        case Label::MainGuided:
            return pick({"&Guided Set-Up...", "ガイド付き設定(&G)..."}, language);
        case Label::GuidedIntro:
            return pick({"Name the remote control, choose what it should control and which of "
                         "its buttons to teach. Then press each button the set-up asks for, "
                         "twice, on the remote pointed at the receiver.",
                         "リモコンに名前を付け、操作する対象と登録するボタンを選んでください。"
                         "次に、受信機に向けたリモコンで、指示されたボタンをそれぞれ 2 回ずつ"
                         "押してください。"},
                        language);
        case Label::GuidedName:
            return pick({"Remote &name:", "リモコン名(&N):"}, language);
        case Label::GuidedLayout:
            return pick({"&Controls:", "操作する対象(&C):"}, language);
        case Label::GuidedRoles:
            return pick({"&Buttons to teach:", "登録するボタン(&B):"}, language);
        case Label::GuidedRole:
            return pick({"Button", "ボタン"}, language);
        case Label::GuidedKeys:
            return pick({"Keys", "キー"}, language);
        case Label::GuidedRow:
            return pick({"Row", "登録先"}, language);
        case Label::GuidedAll:
            return pick({"Select &All", "すべて選択(&A)"}, language);
        case Label::GuidedNone:
            return pick({"Select N&one", "すべて解除(&O)"}, language);
        case Label::GuidedRefused:
            return pick(
                {"These layout files were not read:", "読み込めなかったレイアウトファイル:"},
                language);
        case Label::GuidedStart:
            return pick({"&Start", "開始(&S)"}, language);
        case Label::GuidedSkip:
            return pick({"S&kip", "スキップ(&K)"}, language);
        case Label::GuidedSkipRest:
            return pick({"Skip the &Rest", "残りをスキップ(&R)"}, language);
        case Label::GuidedBack:
            return pick({"&Back", "戻る(&B)"}, language);
        case Label::GuidedFinish:
            return pick({"&Finish", "完了(&F)"}, language);
        case Label::GuidedEndIntro:
            return pick({"The buttons are taught. Set Up Data writes them into the receiver; "
                         "Test Buttons shows which row each press of a button is and what it "
                         "types; Save As keeps the table in a file. Finish, and Edit > Undo "
                         "takes the whole set-up back.",
                         "ボタンの登録が終わりました。「リモコンデータ登録」で受信機に書き込み、"
                         "「ボタンのテスト」で押したボタンの登録先と入力されるキーを確認し、"
                         "「名前をつけて保存」でファイルに保存できます。「完了」の後、"
                         "「編集」>「元に戻す」で設定全体を取り消せます。"},
                        language);
        case Label::GuidedTolerance:
            return pick({"Timing check of the whole table:", "テーブル全体のタイミング確認:"},
                        language);
        case Label::GuidedSetUpData:
            return pick({"Set &Up Data...", "リモコンデータ登録(&U)..."}, language);
        case Label::GuidedTestButtons:
            return pick({"&Test Buttons...", "ボタンのテスト(&T)..."}, language);
        case Label::GuidedSaveAs:
            return pick({"Save &As...", "名前をつけて保存(&A)..."}, language);
        case Label::ImportFiles:
            return pick(
                {"IR code files (*.ir *.conf *.txt *.pronto);;All files (*)",
                 "リモコンコードファイル (*.ir *.conf *.txt *.pronto);;すべてのファイル (*)"},
                language);
        case Label::ImportFilter:
            return pick({"&Filter:", "絞り込み(&F):"}, language);
        case Label::ImportSelectAll:
            return pick({"Select &all", "すべて選択(&A)"}, language);
        case Label::ImportSelectNone:
            return pick({"Select &none", "選択解除(&N)"}, language);
        case Label::ImportGroup:
            return pick({"%s (%d signals)", "%s (%d 件)"}, language);
        case Label::ImportGroupOne:
            return pick({"%s (1 signal)", "%s (1 件)"}, language);
    }
    return {};
}

const std::vector<DebugValueLabel>& debugValueLabels() {
    static const std::vector<DebugValueLabel> labels = {
        {1009, "Reader H min"},        {1010, "Reader H max"}, {1014, "Reader H avg"},
        {1025, "Reader L min"},        {1026, "Reader L max"}, {1027, "Reader L avg"},
        {1016, "Data 1H min"},         {1015, "Data 1H max"},  {1017, "Data 1H avg"},
        {1018, "Data 0H min"},         {1019, "Data 0H max"},  {1020, "Data 0H avg"},
        {1022, "Data L min"},          {1023, "Data L max"},   {1024, "Data L avg"},
        {1021, "Data Length", "bits"},
    };
    return labels;
}

std::string_view helpBaseName(Language language) {
    return pick({"Ir_Help_e", "Ir_Help"}, language);
}

}  // namespace tessik
