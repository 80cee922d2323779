#include "core/ir/signal_import.hpp"

#include <unordered_map>

#include "core/bytes/utf.hpp"
#include "core/ir/decoders.hpp"
#include "core/ir/ir_protocols.hpp"
#include "core/text/bilingual.hpp"
#include "core/text/format.hpp"

namespace tessik {
namespace {

std::optional<std::size_t> slotHolding(const RemoteModel& model, std::uint64_t codeValue) {
    for (std::size_t s = 0; s < kButtonSlots; ++s) {
        if (model.button(s).code.codeValue == codeValue) return s;
    }
    return std::nullopt;
}

}  // namespace

std::vector<ImportItem> planImport(const RemoteModel& model, std::vector<RawSignal> found) {
    RemoteModel table = model;
    std::vector<ImportItem> items;
    items.reserve(found.size());
    // The item each code was added by, so that a file repeating one signal many times is
    // planned in time proportional to its length.
    std::unordered_map<std::uint64_t, std::size_t> addedBy;
    for (RawSignal& signal : found) {
        ImportItem item;
        item.signal = std::move(signal);
        if (!item.signal.unlearnable.empty()) {
            item.verdict = ImportVerdict::Unlearnable;
            items.push_back(std::move(item));
            continue;
        }
        const CaptureEntries entries = entriesFromDurations(item.signal.durations);
        item.record = decodeCapture(entries.low, entries.high);
        const CodeRecord& r = item.record;
        const std::uint16_t tableBits = table.button(0).code.bitCount;
        if (r.codeValue == 0) {
            item.verdict = ImportVerdict::NothingDecoded;
        } else if (tableBits != 0 && tableBits != r.bitCount) {
            item.verdict = ImportVerdict::LengthDiffers;
            item.tableBits = tableBits;
        } else if (const auto held = slotHolding(table, r.codeValue)) {
            if (slotHolding(model, r.codeValue)) {
                item.verdict = ImportVerdict::AlreadyInTable;
                item.slot = *held;
            } else {
                item.verdict = ImportVerdict::DuplicateInFile;
                // The table holds it and the model did not: an earlier item added it.
                const auto first = addedBy.find(r.codeValue);
                item.sameAs = first != addedBy.end() ? first->second : 0;
            }
        } else if (r.codeValue == kCodeTooLong) {
            item.verdict = ImportVerdict::TooLong;
        } else if (table.occupiedCount() >= kButtonSlots) {
            item.verdict = ImportVerdict::TableFull;
        } else {
            item.verdict = ImportVerdict::Added;
            item.slot = table.AddCode(r, importComment(item));
            addedBy.emplace(r.codeValue, items.size());
        }
        items.push_back(std::move(item));
    }
    return items;
}

std::u16string importComment(const ImportItem& item) {
    return utf8ToUtf16(item.signal.name);
}

std::vector<std::size_t> addImported(RemoteModel& model, const std::vector<ImportItem>& items,
                                     const std::vector<bool>& chosen) {
    std::vector<NewCode> codes;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!items[i].importable() || (i < chosen.size() && !chosen[i])) continue;
        codes.push_back({items[i].record, importComment(items[i])});
    }
    return model.addCodes(codes);
}

std::string verdictText(const ImportItem& item, Language language) {
    switch (item.verdict) {
        case ImportVerdict::Added:
            return formatText(pick({"added as No %d", "No %d に追加"}, language), {item.slot + 1});
        case ImportVerdict::AlreadyInTable:
            return formatText(pick({"already in the table as No %d", "登録済み (No %d)"}, language),
                              {item.slot + 1});
        case ImportVerdict::DuplicateInFile:
            return formatText(pick({"the same code as signal %d of the file",
                                    "ファイルの %d 番目の信号と同じコード"},
                                   language),
                              {item.sameAs + 1});
        case ImportVerdict::LengthDiffers:
            return formatText(pick({"a different bit length from No 1 (%d bits, not %d)",
                                    "No 1 とビット長が異なる (%d ビット、No 1 は %d ビット)"},
                                   language),
                              {item.record.bitCount, item.tableBits});
        case ImportVerdict::Unlearnable:
            if (item.signal.unlearnable == kBiphaseReason) {
                return std::string(pick({"not learnable: ", "登録できません: "}, language)) +
                       std::string(
                           pick({kBiphaseReason,
                                 "この受信機が学習できないマンチェスター (バイフェーズ) 符号"},
                                language));
            }
            return std::string(pick({"not learnable: ", "登録できません: "}, language)) +
                   item.signal.unlearnable;
        case ImportVerdict::NothingDecoded:
            return std::string(pick({"no code found in it", "コードが見つかりません"}, language));
        case ImportVerdict::TooLong:
            return std::string(
                pick({"too long for the receiver", "受信機には長すぎます"}, language));
        case ImportVerdict::TableFull:
            return std::string(pick({"the table is full", "テーブルが満杯です"}, language));
    }
    return {};
}

}  // namespace tessik
