#include "core/model/texts.hpp"

#include "core/text/bilingual.hpp"
#include "core/text/format.hpp"

namespace tessik {

std::string editText(const EditLabel& label, Language language) {
    const auto n = label.number;
    switch (label.kind) {
        case EditKind::Capture:
            return formatText(pick({"Capture No %d", "No %d の取り込み"}, language), {n});
        case EditKind::Recapture:
            return formatText(pick({"Re-capture No %d", "No %d の再取り込み"}, language), {n});
        case EditKind::Delete:
            return formatText(pick({"Delete No %d", "No %d の削除"}, language), {n});
        case EditKind::Keys:
            return formatText(pick({"Edit No %d", "No %d の編集"}, language), {n});
        case EditKind::Import:
            return formatText(n == 1 ? pick({"Import of %d code", "%d 件のインポート"}, language)
                                     : pick({"Import of %d codes", "%d 件のインポート"}, language),
                              {n});
        case EditKind::Macro:
            return formatText(pick({"Edit Macro %d", "マクロ %d の編集"}, language), {n});
        case EditKind::DeleteMacro:
            return formatText(pick({"Delete Macro %d", "マクロ %d の削除"}, language), {n});
        case EditKind::Jitter:
            return std::string(pick({"Jitter Change", "ジッター量の変更"}, language));
        case EditKind::Rename:
            return std::string(pick({"Rename", "リモコン名の変更"}, language));
        case EditKind::GuidedSetUp:
            return std::string(pick({"Guided Set-Up", "ガイド付き設定"}, language));
    }
    return {};
}

std::string undoText(const EditLabel* label, Language language) {
    if (label == nullptr) return std::string(pick({"&Undo", "元に戻す(&U)"}, language));
    return formatText(pick({"&Undo %s", "元に戻す (%s)(&U)"}, language),
                      {editText(*label, language)});
}

std::string redoText(const EditLabel* label, Language language) {
    if (label == nullptr) return std::string(pick({"&Redo", "やり直し(&R)"}, language));
    return formatText(pick({"&Redo %s", "やり直し (%s)(&R)"}, language),
                      {editText(*label, language)});
}

std::string macroUsersText(std::size_t users, Language language) {
    if (users == 0) return {};
    if (users == 1) {
        return std::string(pick({"1 button runs this macro; it will send nothing.",
                                 "このマクロを使うボタン 1 個は何も送信しなくなります。"},
                                language));
    }
    return formatText(pick({"%d buttons run this macro; they will send nothing.",
                            "このマクロを使うボタン %d 個は何も送信しなくなります。"},
                           language),
                      {users});
}

}  // namespace tessik
