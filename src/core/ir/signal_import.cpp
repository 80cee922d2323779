#include "core/ir/signal_import.hpp"

#include <unordered_map>

#include "core/bytes/utf.hpp"
#include "core/ir/decoders.hpp"
#include "core/ir/ir_protocols.hpp"
#include "core/text/bilingual.hpp"
#include "core/text/format.hpp"

namespace tessik {
namespace {

// The table as the items judged so far leave it: which codes it holds, which free slot comes
// next (AddCode fills the first free slot) and the bit count of slot 0, which every later code
// must share. Codes are looked up by hash, so a file of thousands of signals is judged at once.
class Planner {
  public:
    explicit Planner(const RemoteModel& model) : tableBits_(model.button(0).code.bitCount) {
        for (std::size_t s = 0; s < kButtonSlots; ++s) {
            const std::uint64_t code = model.button(s).code.codeValue;
            if (code == 0) {
                free_.push_back(s);
            } else {
                inTable_.emplace(code, s);
            }
        }
    }

    // The verdict of item `index` against the table; with `add`, an item that can be added is.
    void judge(ImportItem& item, std::size_t index, bool add) {
        item.slot = kNoFreeSlot;
        item.sameAs = 0;
        item.tableBits = 0;
        const CodeRecord& r = item.record;
        if (!item.signal.unlearnable.empty()) {
            item.verdict = ImportVerdict::Unlearnable;
        } else if (r.codeValue == 0) {
            item.verdict = ImportVerdict::NothingDecoded;
        } else if (tableBits_ != 0 && tableBits_ != r.bitCount) {
            item.verdict = ImportVerdict::LengthDiffers;
            item.tableBits = tableBits_;
        } else if (const auto held = inTable_.find(r.codeValue); held != inTable_.end()) {
            item.verdict = ImportVerdict::AlreadyInTable;
            item.slot = held->second;
        } else if (const auto earlier = added_.find(r.codeValue); earlier != added_.end()) {
            item.verdict = ImportVerdict::DuplicateInFile;
            item.sameAs = earlier->second;
        } else if (r.codeValue == kCodeTooLong) {
            item.verdict = ImportVerdict::TooLong;
        } else if (taken_ >= free_.size()) {
            item.verdict = ImportVerdict::TableFull;
        } else if (!add) {
            item.verdict = ImportVerdict::Available;
        } else {
            item.verdict = ImportVerdict::Added;
            item.slot = free_[taken_++];
            added_.emplace(r.codeValue, index);
            if (item.slot == 0) tableBits_ = r.bitCount;
        }
    }

  private:
    std::vector<std::size_t> free_;
    std::size_t taken_ = 0;
    std::unordered_map<std::uint64_t, std::size_t> inTable_;  // code -> slot
    std::unordered_map<std::uint64_t, std::size_t> added_;    // code -> item
    std::uint16_t tableBits_;
};

}  // namespace

std::vector<ImportItem> decodeSignals(std::vector<RawSignal> found) {
    std::vector<ImportItem> items;
    items.reserve(found.size());
    for (RawSignal& signal : found) {
        ImportItem item;
        item.signal = std::move(signal);
        if (item.signal.unlearnable.empty()) {
            const CaptureEntries entries = entriesFromDurations(item.signal.durations);
            item.record = decodeCapture(entries.low, entries.high);
        }
        items.push_back(std::move(item));
    }
    return items;
}

void judgeImport(const RemoteModel& model, std::vector<ImportItem>& items,
                 std::vector<bool>& chosen, const std::vector<bool>& more) {
    chosen.resize(items.size(), false);
    Planner planner(model);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!chosen[i]) continue;
        planner.judge(items[i], i, true);
        chosen[i] = items[i].importable();
    }
    bool grew = false;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (chosen[i]) continue;
        const bool wanted = i < more.size() && more[i];
        planner.judge(items[i], i, wanted);
        chosen[i] = items[i].importable();
        grew = grew || chosen[i];
    }
    // The slots follow the order the items were taken in; in the table they follow the file.
    if (grew) judgeImport(model, items, chosen);
}

std::vector<ImportItem> planImport(const RemoteModel& model, std::vector<RawSignal> found) {
    std::vector<ImportItem> items = decodeSignals(std::move(found));
    std::vector<bool> chosen(items.size(), true);
    judgeImport(model, items, chosen);
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
        case ImportVerdict::Available:
            return std::string(pick({"can be added", "追加できます"}, language));
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
