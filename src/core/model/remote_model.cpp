#include "core/model/remote_model.hpp"

#include <algorithm>
#include <array>

#include "core/bytes/text_field.hpp"

namespace tessik {
namespace {

void widen(TimingGroup& g, std::uint16_t maxValue, std::uint16_t minValue) {
    if (maxValue > g.max) g.max = maxValue;
    if (minValue < g.min) g.min = minValue;
    // Signed 32-bit with truncation toward zero: a group without members (max 0, min 0xFFFF)
    // gets 0xFFFF + (-0xFFFF / 2) = 0x8000, which is what the device has always been sent.
    const std::int32_t mid =
        static_cast<std::int32_t>(g.min) +
        (static_cast<std::int32_t>(g.max) - static_cast<std::int32_t>(g.min)) / 2;
    g.mid = static_cast<std::uint16_t>(mid);
}

bool anyOccupied(const RemoteTables& t) {
    return std::any_of(t.buttons.begin(), t.buttons.end(),
                       [](const ButtonRecord& b) { return b.code.occupied(); });
}

// The receiver's tables have no gaps: an entry taken out moves those after it up one place and
// leaves an empty one at the end.
template <typename T, std::size_t N>
void removeAt(std::array<T, N>& entries, std::size_t i) {
    std::move(entries.begin() + static_cast<std::ptrdiff_t>(i) + 1, entries.end(),
              entries.begin() + static_cast<std::ptrdiff_t>(i));
    entries[N - 1] = T{};
}

}  // namespace

struct RemoteModel::ListenerEntry {
    Listener listener;
};

struct RemoteModel::ListenerList {
    std::vector<std::weak_ptr<ListenerEntry>> entries;
};

RemoteModel::RemoteModel(const RemoteModel& other) {
    *this = other;
}

RemoteModel& RemoteModel::operator=(const RemoteModel& other) {
    if (this == &other) return *this;
    tables_ = other.tables_;
    revision_ = other.revision_;
    savedRevision_ = other.savedRevision_;
    nextRevision_ = other.nextRevision_;
    state_ = other.state_;
    current_.reset();
    return *this;
}

RemoteModel::RemoteModel(RemoteTables tables) {
    open(std::move(tables));
}

RemoteModel::~RemoteModel() = default;

// --- Reading ---------------------------------------------------------------------------------

CommandStates RemoteModel::commands() const {
    CommandStates s;
    s.save = state_.inFile;
    // Once a table has held codes, deleting them all does not take Save As, Edit Macro and
    // Jitter away again: the name, the macros and the jitter are still worth keeping.
    s.saveAs = s.editMacro = s.jitter = state_.hadCodes;
    s.guidedSetUp = !tables_.buttons[kButtonSlots - 1].code.occupied();
    s.capture = state_.started && s.guidedSetUp;
    s.deleteIr = s.setUp = anyOccupied(tables_);
    return s;
}

bool RemoteModel::IsNewCode(const CodeRecord& record) const {
    for (const auto& b : tables_.buttons) {
        if (b.code.codeValue == record.codeValue) return false;
    }
    return true;
}

std::optional<std::size_t> RemoteModel::slotOfCode(std::uint64_t codeValue) const {
    for (std::size_t s = 0; s < kButtonSlots; ++s) {
        if (tables_.buttons[s].code.occupied() && tables_.buttons[s].code.codeValue == codeValue) {
            return s;
        }
    }
    return std::nullopt;
}

std::size_t RemoteModel::macroCommandCount(std::size_t m) const {
    if (m >= kMacroSlots) return 0;
    std::size_t n = 0;
    while (n < kMacroCommands && !tables_.macros[m].commands[n].sendText.empty())
        ++n;
    return n;
}

std::size_t RemoteModel::CountMacroCommands(std::size_t m) const {
    return std::min(macroCommandCount(m), kMacroCommands - 1);
}

std::size_t RemoteModel::macroUsers(std::size_t m) const {
    return static_cast<std::size_t>(
        std::count_if(tables_.buttons.begin(), tables_.buttons.end(), [m](const ButtonRecord& b) {
            return b.code.occupied() && macroReference(b.code.keys) == m;
        }));
}

std::optional<std::size_t> RemoteModel::firstFreeMacroSlot() const {
    for (std::size_t m = 0; m < kMacroSlots; ++m) {
        if (tables_.macros[m].used == 0) return m;
    }
    return std::nullopt;
}

std::size_t RemoteModel::occupiedCount() const {
    return static_cast<std::size_t>(
        std::count_if(tables_.buttons.begin(), tables_.buttons.end(),
                      [](const ButtonRecord& b) { return b.code.occupied(); }));
}

// --- The table as a whole --------------------------------------------------------------------

void RemoteModel::replaceAll(RemoteTables tables, bool saved) {
    tables_ = std::move(tables);
    revision_ = nextRevision_++;
    if (saved) savedRevision_ = revision_;
    current_.reset();
    if (journal_ != nullptr) journal_->clearHistory();
    notify({ModelChange::What::Everything, 0});
}

void RemoteModel::ResetTables() {
    state_ = {};
    replaceAll(RemoteTables{}, true);
}

void RemoteModel::startNew(std::u16string_view name) {
    state_ = {true, false, false};
    RemoteTables fresh;
    fresh.header.remoteName = clipText(name, kMaxRemoteNameChars);
    replaceAll(std::move(fresh), false);
}

void RemoteModel::open(RemoteTables tables) {
    state_ = {true, true, true};
    replaceAll(std::move(tables), true);
}

void RemoteModel::noteSaved() {
    state_.inFile = true;
    savedRevision_ = revision_;
    notify({ModelChange::What::SavedState, 0});
}

void RemoteModel::restore(const ModelSnapshot& snapshot, std::optional<std::size_t> row) {
    tables_ = snapshot.tables;
    revision_ = snapshot.revision;
    current_.reset();
    if (anyOccupied(tables_)) state_.hadCodes = true;
    notify({ModelChange::What::Everything, row.value_or(kButtonSlots)});
}

// --- Edits -----------------------------------------------------------------------------------

std::shared_ptr<const ModelSnapshot> RemoteModel::snapshot() const {
    if (!current_ || current_->revision != revision_) {
        current_ = std::make_shared<const ModelSnapshot>(ModelSnapshot{tables_, revision_});
    }
    return current_;
}

template <typename Change>
void RemoteModel::edit(EditLabel label, ModelChange what, Change&& change) {
    // The model before the edit: kept for the undo history, and compared with afterwards, so
    // that an edit that changed nothing (a dialog closed as it was opened) marks nothing.
    std::shared_ptr<const ModelSnapshot> before = snapshot();
    change();
    if (tables_ == before->tables) return;
    revision_ = nextRevision_++;
    if (groupDepth_ > 0) {
        groupChanged_ = true;
    } else if (journal_ != nullptr) {
        journal_->recordEdit({label, std::move(before), snapshot()});
    }
    notify(what);
}

std::size_t RemoteModel::addOne(const CodeRecord& record, std::u16string_view comment) {
    const std::size_t slot = firstFreeSlot();
    if (slot == kButtonSlots) return kNoFreeSlot;
    // The slot's keys and send text stay as they are: empty for a free slot.
    tables_.buttons[slot].code = record;
    tables_.buttons[slot].text.comment = clipText(comment, kMaxTextChars);
    AccumulateStatistics(tables_.header, record);
    state_.started = state_.hadCodes = true;
    return slot;
}

std::size_t RemoteModel::firstFreeSlot() const {
    std::size_t slot = 0;
    while (slot < kButtonSlots && tables_.buttons[slot].code.codeValue != 0)
        ++slot;
    return slot;
}

std::size_t RemoteModel::AddCode(const CodeRecord& record, std::u16string_view comment) {
    std::size_t slot = kNoFreeSlot;
    const std::size_t next = firstFreeSlot();
    edit({EditKind::Capture, next + 1}, {ModelChange::What::RowAdded, next},
         [&] { slot = addOne(record, comment); });
    return slot;
}

std::vector<std::size_t> RemoteModel::addCodes(const std::vector<NewCode>& codes) {
    std::vector<std::size_t> slots;
    const std::size_t fitting = std::min(codes.size(), kButtonSlots - occupiedCount());
    edit({EditKind::Import, fitting}, {ModelChange::What::RowAdded, firstFreeSlot()}, [&] {
        for (const NewCode& c : codes) {
            const std::size_t slot = addOne(c.record, c.comment);
            if (slot == kNoFreeSlot) break;
            slots.push_back(slot);
        }
    });
    return slots;
}

bool RemoteModel::recaptureCode(std::size_t slot, const CodeRecord& record,
                                std::u16string_view comment) {
    if (slot >= kButtonSlots || !tables_.buttons[slot].code.occupied() || !record.occupied())
        return false;
    const auto holder = slotOfCode(record.codeValue);
    if (holder && *holder != slot) return false;
    edit({EditKind::Recapture, slot + 1}, {ModelChange::What::Row, slot}, [&] {
        ButtonRecord& b = tables_.buttons[slot];
        const KeyCodeList keys = b.code.keys;
        b.code = record;
        b.code.keys = keys;
        b.text.comment = clipText(comment, kMaxTextChars);
        recomputeStatistics(tables_, slot);
    });
    return true;
}

void RemoteModel::DeleteButton(std::size_t slot) {
    if (slot >= kButtonSlots) return;
    edit({EditKind::Delete, slot + 1}, {ModelChange::What::RowsMoved, slot},
         [&] { removeAt(tables_.buttons, slot); });
}

void RemoteModel::storeButtonKeys(std::size_t slot, const ButtonKeys& keys) {
    if (slot >= kButtonSlots) return;
    edit({EditKind::Keys, slot + 1}, {ModelChange::What::Row, slot}, [&] {
        ButtonRecord& b = tables_.buttons[slot];
        b.code.keys = keys.keys;
        b.text.keyCount = std::min<std::uint16_t>(keys.keyCount, kKeyWords);
        b.text.sendText = clipText(keys.sendText, kMaxTextChars);
        b.text.comment = clipText(keys.comment, kMaxTextChars);
    });
}

void RemoteModel::storeMacroCommand(std::size_t m, std::size_t c, const MacroCommand& command) {
    if (m >= kMacroSlots || c >= kMacroCommands) return;
    edit({EditKind::Macro, m + 1}, {ModelChange::What::Macro, m}, [&] {
        MacroRecord& rec = tables_.macros[m];
        rec.used = 1;
        MacroCommand& stored = rec.commands[c];
        stored = command;
        stored.keyCount = std::min<std::uint16_t>(command.keyCount, kKeyWords);
        stored.sendText = clipText(command.sendText, kMaxTextChars);
        stored.comment = clipText(command.comment, kMaxTextChars);
    });
}

void RemoteModel::DeleteMacroCommand(std::size_t m, std::size_t r) {
    if (m >= kMacroSlots || r >= kMacroCommands) return;
    edit({EditKind::Macro, m + 1}, {ModelChange::What::Macro, m},
         [&] { removeAt(tables_.macros[m].commands, r); });
}

void RemoteModel::setMacroNameAndInterval(std::size_t m, std::u16string_view name,
                                          std::uint16_t interval) {
    if (m >= kMacroSlots) return;
    edit({EditKind::Macro, m + 1}, {ModelChange::What::Macro, m}, [&] {
        tables_.macros[m].name = clipText(name, kMaxTextChars);
        tables_.macros[m].interval = interval;
    });
}

void RemoteModel::DeleteMacro(std::size_t d) {
    if (d >= kMacroSlots) return;
    edit({EditKind::DeleteMacro, d + 1}, {ModelChange::What::Macros, d}, [&] {
        removeAt(tables_.macros, d);
        RemoveMacroReferences(d);
    });
}

void RemoteModel::RemoveMacroReferences(std::size_t m) {
    for (auto& b : tables_.buttons) {
        KeyCodeList& keys = b.code.keys;
        if (keys[0] != kMacroMarker) continue;
        if (keys[1] == m) {
            keys[0] = keys[1] = 0;
            b.text.keyCount = 0;
            b.text.sendText.clear();
        } else if (keys[1] > m) {
            // The shown text "[M name]" still names the same macro, so it stays.
            --keys[1];
            b.text.keyCount = 0;
        }
    }
}

void RemoteModel::setJitter(std::int32_t percent) {
    edit({EditKind::Jitter, 0}, {ModelChange::What::Header, 0},
         [&] { tables_.jitterPercent = percent; });
}

void RemoteModel::rename(std::u16string_view name) {
    edit({EditKind::Rename, 0}, {ModelChange::What::Header, 0}, [&] {
        tables_.header.remoteName = clipText(name, kMaxRemoteNameChars);
        // A named table is a started one (a guided set-up names the table it starts).
        state_.started = true;
    });
}

// --- Listeners and groups --------------------------------------------------------------------

std::shared_ptr<void> RemoteModel::subscribe(Listener listener) {
    if (!listeners_) listeners_ = std::make_shared<ListenerList>();
    auto entry = std::make_shared<ListenerEntry>(ListenerEntry{std::move(listener)});
    listeners_->entries.push_back(entry);
    return entry;
}

void RemoteModel::notify(const ModelChange& change) {
    if (!listeners_) return;
    // A listener may subscribe or unsubscribe others (a dialog closing): work on a copy, and
    // keep the list alive while doing so.
    const std::shared_ptr<ListenerList> list = listeners_;
    const auto entries = list->entries;
    for (const auto& weak : entries) {
        if (const auto entry = weak.lock()) entry->listener(change);
    }
    std::erase_if(list->entries, [](const auto& weak) { return weak.expired(); });
}

RemoteModel::EditGroup::EditGroup(RemoteModel& model, EditLabel label)
    : model_(model), before_(model.state_) {
    if (model_.groupDepth_++ > 0) return;
    model_.groupLabel_ = label;
    model_.groupBefore_ = model_.snapshot();
    model_.groupChanged_ = false;
}

RemoteModel::EditGroup::~EditGroup() {
    if (--model_.groupDepth_ > 0 || cancelled_) return;
    auto before = std::move(model_.groupBefore_);
    if (!model_.groupChanged_ || model_.journal_ == nullptr) return;
    if (model_.tables_ == before->tables) return;
    model_.journal_->recordEdit({model_.groupLabel_, std::move(before), model_.snapshot()});
}

void RemoteModel::EditGroup::cancel() {
    if (cancelled_ || model_.groupDepth_ != 1) return;
    cancelled_ = true;
    model_.state_ = before_;
    if (model_.groupChanged_) model_.restore(*model_.groupBefore_);
    model_.groupBefore_.reset();
}

RemoteModel::EditGroup::Mark RemoteModel::EditGroup::mark() const {
    Mark m;
    m.at_ = model_.snapshot();
    m.state_ = model_.state_;
    return m;
}

void RemoteModel::EditGroup::rollBackTo(const Mark& mark) {
    if (cancelled_ || !mark.at_ || model_.revision_ == mark.at_->revision) return;
    model_.state_ = mark.state_;
    model_.restore(*mark.at_);
}

// --- Free functions --------------------------------------------------------------------------

void AccumulateStatistics(RemoteHeader& header, const CodeRecord& r) {
    header.format = r.format;
    header.pairCount = r.pairCount;
    widen(header.leaderHigh, r.leaderHigh, r.leaderHigh);
    widen(header.leaderLow, r.leaderLow, r.leaderLow);
    widen(header.one, r.oneMax, r.oneMin);
    widen(header.low, r.lowMax, r.lowMin);
    widen(header.high, r.highMax, r.highMin);
    header.bitCount = static_cast<std::uint8_t>(r.bitCount & 0xFF);
}

void recomputeStatistics(RemoteTables& tables, std::size_t last) {
    RemoteHeader& h = tables.header;
    h.leaderHigh = h.leaderLow = h.one = h.low = h.high = TimingGroup{};
    for (std::size_t s = 0; s < kButtonSlots; ++s) {
        if (s != last && tables.buttons[s].code.occupied())
            AccumulateStatistics(h, tables.buttons[s].code);
    }
    if (last < kButtonSlots && tables.buttons[last].code.occupied())
        AccumulateStatistics(h, tables.buttons[last].code);
}

std::optional<std::size_t> macroReference(const KeyCodeList& keys) {
    if (keys[0] != kMacroMarker || keys[1] >= kMacroSlots) return std::nullopt;
    return keys[1];
}

bool isMacroReference(const KeyCodeList& keys) {
    return keys[0] == kMacroMarker;
}

}  // namespace tessik
