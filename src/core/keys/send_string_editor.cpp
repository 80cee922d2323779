#include "core/keys/send_string_editor.hpp"

#include <algorithm>

#include "core/bytes/text_field.hpp"

namespace tessik {
namespace {

constexpr std::size_t kLastButton = kButtonSlots - 1;
constexpr std::size_t kLastCommand = kMacroCommands - 1;

std::u16string widenAscii(std::string_view s) {
    return std::u16string(s.begin(), s.end());
}

// Shift, Ctrl, Alt and the Windows keys: shown, but held for the key that follows.
bool isModifier(VirtualKey key, const KeyboardSnapshot& snapshot) {
    const std::optional<KeyNameRow> name = findKeyName(resolveGenericModifier(key, snapshot));
    return name && !name->countsAsKey;
}

}  // namespace

SendStringEditor::SendStringEditor(RemoteModel& model, SendStringHost& host, EditMode mode,
                                   std::size_t entryIndex, std::size_t macroIndex)
    : model_(model), host_(host) {
    state_.mode = mode;
    const bool button = mode == EditMode::Button;
    state_.entryIndex = std::min(entryIndex, button ? kLastButton : kLastCommand);
    state_.macroIndex = button ? 0 : std::min(macroIndex, kMacroSlots - 1);
    fillCombo();
    // In the command modes a command can never become a macro reference: a macro does not run
    // other macros.
    state_.macroBoxEnabled = button;
    state_.comboEnabled = false;
    load();
    updatePrevNext();
}

// ---------------------------------------------------------------------------------------------
// Key capture

void SendStringEditor::startRecording(Recording how) {
    const bool full = state_.keyCount >= kKeyWords || state_.macroChecked;
    state_.recording = full ? Recording::Off : how;
}

void SendStringEditor::stopRecording() {
    state_.recording = Recording::Off;
}

KeyResult SendStringEditor::keyDown(VirtualKey key, const KeyboardSnapshot& snapshot,
                                    std::optional<VirtualKey> inputMethodKey) {
    if (state_.recording == Recording::Off) return {KeyDisposition::Swallowed, false};
    if (key == vk::ProcessKey && inputMethodKey) key = *inputMethodKey;
    KeyResult result = take(key, snapshot, inputMethodKey);
    // A modifier key waits for the key it is held for; any other key, taken or not, is the one
    // NextKey was waiting for.
    const bool ended = (state_.recording == Recording::NextKey && !isModifier(key, snapshot)) ||
                       state_.keyCount >= kKeyWords;
    if (ended) {
        state_.recording = Recording::Off;
        result.recordingEnded = true;
    }
    return result;
}

KeyResult SendStringEditor::take(VirtualKey key, const KeyboardSnapshot& snapshot,
                                 std::optional<VirtualKey> inputMethodKey) {
    constexpr KeyResult kSwallowed{KeyDisposition::Swallowed, false};
    constexpr KeyResult kLeft{KeyDisposition::LeftToTextBox, false};

    // 1. A key the input method took stands for the key it reports, when it reports one.
    if (key == vk::ProcessKey && inputMethodKey) key = *inputMethodKey;
    // 2. Six keys taken, or a macro chosen instead of keys: nothing more goes in.
    if (state_.keyCount >= kKeyWords || state_.macroChecked) return kSwallowed;
    // 3. Shift, Ctrl and Alt reported without their side take the first side down.
    key = resolveGenericModifier(key, snapshot);
    const std::optional<std::uint8_t> usage = findKeyUsage(key);
    if (!usage) return kLeft;

    // The send text holds 128 characters: a key whose name or typed character would not fit
    // is refused like a seventh key, so the text never has to be cut.
    const std::optional<KeyNameRow> name = findKeyName(key);
    if (!fits(name ? name->name.size() : 1)) return kSwallowed;

    // 4. The key takes the next word, with every modifier held at this moment.
    const KeyCode code = static_cast<KeyCode>(*usage | modifierBits(snapshot));
    state_.keys[state_.keyCount] = code;
    const ModifierBoxes held = boxesFromBits(code);
    for (std::size_t b = 0; b < kModifierBoxCount; ++b) {
        if (held[b]) state_.modifierBoxes[b] = true;  // capture never unchecks a box
    }
    if (state_.mode == EditMode::NewCommand && state_.entryIndex < kLastCommand) {
        state_.nextEnabled = true;
    }
    ++state_.keyCount;

    // 5. Unnamed keys are shown as the text box types them.
    if (!name) return {KeyDisposition::LeftToTextBox, true};
    // A modifier key shows its name but leaves its word to be overwritten by the next key.
    if (!name->countsAsKey) --state_.keyCount;
    state_.sendText += widenAscii(name->name);
    return {KeyDisposition::Swallowed, true};
}

bool SendStringEditor::fits(std::size_t extraChars) const {
    return state_.sendText.size() + extraChars <= kMaxTextChars;
}

void SendStringEditor::sendTextEdited(std::u16string_view text) {
    state_.sendText = clipText(text, kMaxTextChars);
    // A new command whose text was emptied is not stored; stepping on from it would leave a
    // gap in the macro's commands, which must stay contiguous.
    if (state_.mode == EditMode::NewCommand && state_.sendText.empty()) state_.nextEnabled = false;
}

void SendStringEditor::commentEdited(std::u16string_view text) {
    state_.comment = clipText(text, kMaxTextChars);
}

// ---------------------------------------------------------------------------------------------
// Buttons, boxes and the combo box

void SendStringEditor::clear() {
    state_.keyCount = 0;
    state_.sendText.clear();
    state_.modifierBoxes = {};
    state_.macroChecked = false;
    if (state_.mode == EditMode::NewCommand) state_.nextEnabled = false;
    state_.keys = {};
}

void SendStringEditor::setMacroChecked(bool checked) {
    if (!state_.macroBoxEnabled) return;
    state_.macroChecked = checked;
    if (checked) state_.recording = Recording::Off;
    if (checked) state_.modifierBoxes = {};
    state_.comboEnabled = checked;
    state_.sendText.clear();
}

void SendStringEditor::setModifierBox(ModifierBox box, bool checked) {
    state_.modifierBoxes[static_cast<std::size_t>(box)] = checked;
    const bool any = std::any_of(state_.modifierBoxes.begin(), state_.modifierBoxes.end(),
                                 [](bool b) { return b; });
    if (any) {
        state_.macroChecked = false;
        state_.comboEnabled = false;
    }
}

void SendStringEditor::chooseComboPosition(std::optional<std::size_t> position) {
    if (!position || !state_.comboEnabled) return;
    if (*position < state_.comboEntries.size()) {
        const ComboEntry& e = state_.comboEntries[*position];
        state_.selectedMacro = e.macro;
        state_.comboSelection = position;
        state_.sendText = macroReferenceText(e.name);
        return;
    }
    if (*position == state_.comboEntries.size() && state_.comboOffersNewMacro) chooseNewMacro();
}

void SendStringEditor::chooseNewMacro() {
    // "New Macro" is offered only while a slot is free; should it be chosen anyway, it does
    // nothing.
    const std::optional<std::size_t> slot = model_.firstFreeMacroSlot();
    if (!slot) return;
    const MacroDialogResult result = host_.registerMacro(*slot);
    // Commands reach the table as soon as they are stored, even when the registration is
    // cancelled afterwards, so the list follows the table in every case.
    fillCombo();
    state_.comboSelection =
        state_.selectedMacro ? comboPositionOf(*state_.selectedMacro) : std::nullopt;
    if (result == MacroDialogResult::Cancelled) return;
    if (model_.macro(*slot).used != 0) {
        state_.selectedMacro = *slot;
        state_.comboSelection = comboPositionOf(*slot);
        state_.sendText = macroReferenceText(model_.macro(*slot).name);
    } else {
        state_.selectedMacro.reset();
        state_.comboSelection.reset();
        state_.comboEnabled = false;
        state_.macroChecked = false;
    }
}

void SendStringEditor::fillCombo() {
    state_.comboEntries.clear();
    for (std::size_t m = 0; m < kMacroSlots; ++m) {
        if (model_.macro(m).used != 0) state_.comboEntries.push_back({m, model_.macro(m).name});
    }
    state_.comboOffersNewMacro = model_.firstFreeMacroSlot().has_value();
}

std::optional<std::size_t> SendStringEditor::comboPositionOf(std::size_t macro) const {
    for (std::size_t p = 0; p < state_.comboEntries.size(); ++p) {
        if (state_.comboEntries[p].macro == macro) return p;
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------------
// Loading, storing, stepping

void SendStringEditor::load() {
    if (state_.mode == EditMode::Button) {
        loadButton();
    } else {
        loadCommand();
    }
}

void SendStringEditor::loadButton() {
    const ButtonRecord& b = model_.button(state_.entryIndex);
    state_.comboEnabled = false;
    if (b.code.occupied()) {
        state_.sendText = clipText(b.text.sendText, kMaxTextChars);
        state_.comment = clipText(b.text.comment, kMaxTextChars);
        state_.keys = b.code.keys;
        if (isMacroReference(state_.keys)) state_.comboEnabled = true;
    } else {
        state_.sendText.clear();
        state_.comment.clear();
        state_.keys = {};
    }
    state_.keyCount = std::min<std::size_t>(b.text.keyCount, kKeyWords);
    setBoxesFromFirstWord();
}

void SendStringEditor::loadCommand() {
    const MacroRecord& m = model_.macro(state_.macroIndex);
    const MacroCommand& c = m.commands[state_.entryIndex];
    if (m.used != 0) {
        state_.sendText = clipText(c.sendText, kMaxTextChars);
        state_.comment = clipText(c.comment, kMaxTextChars);
        state_.keys = c.keys;
        setBoxesFromFirstWord();
    } else {
        state_.sendText.clear();
        state_.comment.clear();
        state_.keys = {};
    }
    state_.keyCount = std::min<std::size_t>(c.keyCount, kKeyWords);
}

void SendStringEditor::setBoxesFromFirstWord() {
    const KeyCode first = state_.keys[0];
    state_.modifierBoxes = boxesFromBits(first);
    state_.macroChecked = first == kMacroMarker;
    // The selected macro is always the one the combo box shows, so an entry that is not a
    // reference starts with none: checking "Macro" without choosing one then stores nothing.
    state_.selectedMacro = state_.macroChecked ? macroReference(state_.keys) : std::nullopt;
    state_.comboSelection =
        state_.selectedMacro ? comboPositionOf(*state_.selectedMacro) : std::nullopt;
}

void SendStringEditor::store() {
    if (state_.mode == EditMode::Button) {
        storeButton();
    } else {
        storeCommand();
    }
}

void SendStringEditor::storeButton() {
    KeyCodeList keys = state_.keys;
    std::u16string sendText = state_.sendText;
    std::size_t keyCount = state_.keyCount;
    if (state_.macroChecked) {
        if (state_.selectedMacro) {
            keys[0] = kMacroMarker;
            keys[1] = static_cast<std::uint16_t>(*state_.selectedMacro);
        } else {
            // "Macro" without a macro chosen: no reference, and no keys either.
            keys = {};
            keyCount = 0;
            sendText.clear();
        }
    } else {
        // The boxes apply to the first key; later keys keep what was held when they were taken.
        keys[0] |= bitsFromBoxes(state_.modifierBoxes);
    }
    model_.storeButtonKeys(state_.entryIndex, {keys, static_cast<std::uint16_t>(keyCount),
                                               std::move(sendText), state_.comment});
}

void SendStringEditor::storeCommand() {
    // A command without text does not exist, so an added command without keys is not kept.
    if (state_.sendText.empty()) return;
    MacroCommand c{static_cast<std::uint16_t>(state_.keyCount), state_.keys, state_.sendText,
                   state_.comment};
    c.keys[0] |= bitsFromBoxes(state_.modifierBoxes);
    model_.storeMacroCommand(state_.macroIndex, state_.entryIndex, c);
}

std::size_t SendStringEditor::lastEntry() const {
    return state_.mode == EditMode::Button ? kLastButton : kLastCommand;
}

void SendStringEditor::next() {
    if (!state_.nextEnabled || state_.entryIndex >= lastEntry()) return;
    store();
    ++state_.entryIndex;
    load();
    updatePrevNext();
}

void SendStringEditor::prev() {
    if (!state_.prevEnabled || state_.entryIndex == 0) return;
    store();
    --state_.entryIndex;
    load();
    updatePrevNext();
}

void SendStringEditor::close() {
    store();
}

void SendStringEditor::updatePrevNext() {
    const std::size_t i = state_.entryIndex;
    state_.prevEnabled = i != 0;
    switch (state_.mode) {
        case EditMode::Button: {
            // The last occupied slot: one before the first free one, 127 in a full table.
            std::size_t firstFree = 0;
            while (firstFree < kButtonSlots && model_.buttons()[firstFree].code.occupied()) {
                ++firstFree;
            }
            state_.nextEnabled = i + 1 < firstFree;
            break;
        }
        case EditMode::NewCommand:
            state_.nextEnabled = false;  // until a key is captured
            break;
        case EditMode::EditCommand:
            state_.nextEnabled = i < model_.CountMacroCommands(state_.macroIndex);
            break;
    }
}

}  // namespace tessik
