#include "core/model/remote_model.hpp"

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

}  // namespace

void RemoteModel::ResetTables() {
    commands = CommandStates{};
    modified = false;
    header = RemoteHeader{};
    buttons.fill(ButtonRecord{});
    shownName.clear();
    macros.fill(MacroRecord{});
    jitterPercent = kDefaultJitterPercent;
}

std::size_t RemoteModel::AddCode(const CodeRecord& record, std::u16string_view comment) {
    std::size_t slot = 0;
    while (slot < kButtonSlots && buttons[slot].code.codeValue != 0)
        ++slot;
    if (slot == kButtonSlots) return kNoFreeSlot;

    buttons[slot].code = record;
    buttons[slot].text.comment = clipText(comment, kMaxTextChars);
    AccumulateStatistics(record);
    commands.saveAs = commands.setUp = commands.deleteIr = true;
    commands.editMacro = commands.jitter = true;
    refreshCommandStates();
    modified = true;
    return slot;
}

bool RemoteModel::IsNewCode(const CodeRecord& record) const {
    for (const auto& b : buttons) {
        if (b.code.codeValue == record.codeValue) return false;
    }
    return true;
}

void RemoteModel::AccumulateStatistics(const CodeRecord& r) {
    header.format = r.format;
    header.pairCount = r.pairCount;
    widen(header.leaderHigh, r.leaderHigh, r.leaderHigh);
    widen(header.leaderLow, r.leaderLow, r.leaderLow);
    widen(header.one, r.oneMax, r.oneMin);
    widen(header.low, r.lowMax, r.lowMin);
    widen(header.high, r.highMax, r.highMin);
    header.bitCount = static_cast<std::uint8_t>(r.bitCount & 0xFF);
}

void RemoteModel::DeleteButton(std::size_t slot) {
    if (slot >= kButtonSlots) return;
    for (std::size_t k = slot; k + 1 < kButtonSlots; ++k)
        buttons[k] = buttons[k + 1];
    buttons[kButtonSlots - 1] = ButtonRecord{};
    modified = true;
    refreshCommandStates();
}

void RemoteModel::RemoveMacroReferences(std::size_t m) {
    for (auto& b : buttons) {
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

std::size_t RemoteModel::CountMacroCommands(std::size_t m) const {
    if (m >= kMacroSlots) return 0;
    const auto& cmds = macros[m].commands;
    for (std::size_t c = 0; c < kMacroCommands; ++c) {
        if (cmds[c].sendText.empty()) return c;
    }
    return kMacroCommands - 1;
}

std::size_t RemoteModel::macroCommandCount(std::size_t m) const {
    if (m >= kMacroSlots) return 0;
    std::size_t n = 0;
    while (n < kMacroCommands && !macros[m].commands[n].sendText.empty())
        ++n;
    return n;
}

void RemoteModel::DeleteMacro(std::size_t d) {
    if (d >= kMacroSlots) return;
    for (std::size_t k = d; k + 1 < kMacroSlots; ++k)
        macros[k] = macros[k + 1];
    macros[kMacroSlots - 1] = MacroRecord{};
    RemoveMacroReferences(d);
    modified = true;
}

void RemoteModel::DeleteMacroCommand(std::size_t m, std::size_t r) {
    if (m >= kMacroSlots || r >= kMacroCommands) return;
    auto& cmds = macros[m].commands;
    for (std::size_t k = r; k + 1 < kMacroCommands; ++k)
        cmds[k] = cmds[k + 1];
    cmds[kMacroCommands - 1] = MacroCommand{};
    modified = true;
}

std::optional<std::size_t> RemoteModel::firstFreeMacroSlot() const {
    for (std::size_t m = 0; m < kMacroSlots; ++m) {
        if (macros[m].used == 0) return m;
    }
    return std::nullopt;
}

std::size_t RemoteModel::occupiedCount() const {
    std::size_t n = 0;
    for (const auto& b : buttons)
        n += b.code.codeValue != 0 ? 1 : 0;
    return n;
}

void RemoteModel::refreshCommandStates() {
    commands.capture = true;
    commands.setUp = commands.deleteIr = false;
    for (std::size_t s = 0; s < kButtonSlots; ++s) {
        if (buttons[s].code.codeValue == 0) continue;
        commands.setUp = commands.deleteIr = true;
        if (s == kButtonSlots - 1) commands.capture = false;
    }
}

void RemoteModel::startNew(std::u16string_view name) {
    ResetTables();
    modified = true;
    shownName = clipText(name, kMaxRemoteNameChars);
    header.remoteName = shownName;
    refreshCommandStates();
}

void RemoteModel::noteSaved() {
    commands.save = true;
    modified = false;
}

void RemoteModel::noteOpened() {
    shownName = header.remoteName;
    refreshCommandStates();
    commands.saveAs = commands.save = commands.editMacro = commands.jitter = true;
    modified = false;
}

std::optional<std::size_t> macroReference(const KeyCodeList& keys) {
    if (keys[0] != kMacroMarker || keys[1] >= kMacroSlots) return std::nullopt;
    return keys[1];
}

bool isMacroReference(const KeyCodeList& keys) {
    return keys[0] == kMacroMarker;
}

}  // namespace tessik
