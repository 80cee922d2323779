#pragma once
// The send-string editor's logic: everything the "Input Send Charactor" dialog decides, without
// its widgets. The dialog forwards the user's actions here and mirrors state() into its
// controls; it holds no rule of its own.
//
// One editor edits one entry at a time, either a button of the button table or a command of a
// macro, and writes the entry into the model whenever it leaves it (Prev, Next, Close).
//
// Key capture: the dialog keeps a KeyboardState from every key event it sees and, for each key
// press in the "Send Charactor" box while recording, calls keyDown() with the pressed key and
// the snapshot. The result says whether the box may act on the key (insert the typed character)
// or must not see it at all. After either, the dialog shows state().sendText; when the box
// changes the text itself (a typed character, a paste) it reports the new text through
// sendTextEdited().
//
// Recording: a send string may hold Tab, Esc and Enter, so while the box records, those keys
// are recorded like any other and cannot move the focus or close the dialog. Recording is
// therefore never the box's resting state. A click into the box records keys one after the
// other until the focus leaves it or six are taken (as a mouse user expects); the "Record Key"
// toggle records the next key only (with the modifiers held for it) and then stops, so a
// keyboard user records one key per press of the toggle and is never held in the box.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/keys/key_codes.hpp"
#include "core/model/remote_model.hpp"

namespace tessik {

enum class EditMode {
    Button = 1,       // a button of the button table; entry index = slot
    NewCommand = 2,   // adding commands to a macro; entry index = its first empty command
    EditCommand = 3,  // changing a macro's commands; entry index = the command
};

// How the macro registration dialog, opened from "New Macro", was left.
enum class MacroDialogResult { Closed, Cancelled };

// What the editor needs from the windows around it. (The windows that show what it stores
// follow the model themselves.)
class SendStringHost {
  public:
    virtual ~SendStringHost() = default;
    // "New Macro": runs the macro registration dialog for the free slot `slot`, modally, and
    // says how it was left. The macro is in the model when it returns.
    virtual MacroDialogResult registerMacro(std::size_t slot) = 0;
};

enum class KeyDisposition {
    Swallowed,      // the text box must not act on the key
    LeftToTextBox,  // the key goes its normal way; the box inserts the typed character
};

struct KeyResult {
    KeyDisposition disposition;
    bool captured;  // a key was taken into the send string (text, words or boxes changed)
    bool recordingEnded = false;  // that key ended the recording
};

enum class Recording {
    Off,      // the box shows the send string; keys move the focus as anywhere else
    NextKey,  // the next key (with its modifiers) is recorded, then recording stops
    Keys,     // keys are recorded until it is stopped or six are taken
};

// One macro in the combo box. Combo position n is entry n; the localized "New Macro" text
// follows the entries when comboOffersNewMacro is set.
struct ComboEntry {
    std::size_t macro;
    std::u16string name;
};

struct SendStringState {
    // The entry being edited.
    std::u16string sendText;  // at most 128 characters
    std::u16string comment;   // at most 128 characters
    KeyCodeList keys{};
    std::size_t keyCount = 0;    // 0..6 captured keys
    std::size_t macroIndex = 0;  // command modes: the macro whose command is edited
    std::size_t entryIndex = 0;  // button slot or command number
    EditMode mode = EditMode::Button;
    std::optional<std::size_t> selectedMacro;  // the macro a reference will name
    Recording recording = Recording::Off;

    // The controls.
    ModifierBoxes modifierBoxes{};
    bool macroChecked = false;
    bool macroBoxEnabled = false;
    std::vector<ComboEntry> comboEntries;
    bool comboOffersNewMacro = false;
    std::optional<std::size_t> comboSelection;  // a position in comboEntries
    bool comboEnabled = false;
    bool prevEnabled = false;
    bool nextEnabled = false;
};

class SendStringEditor {
  public:
    // Opens the editor on `entryIndex` (a button slot 0..127, or a command 0..7 of macro
    // `macroIndex` in the command modes): fills the combo box, sets the boxes, loads the entry
    // and sets Prev and Next. Indices out of range are brought into range.
    SendStringEditor(RemoteModel& model, SendStringHost& host, EditMode mode,
                     std::size_t entryIndex, std::size_t macroIndex = 0);

    const SendStringState& state() const { return state_; }

    // A key pressed in the "Send Charactor" box. `key` is the captured virtual key of the
    // event, `snapshot` the keyboard state with the key already down, `inputMethodKey` the key
    // an input method reports when `key` is vk::ProcessKey (nothing when the platform does
    // not tell).
    KeyResult keyDown(VirtualKey key, const KeyboardSnapshot& snapshot,
                      std::optional<VirtualKey> inputMethodKey = std::nullopt);

    // Starts or stops recording keys into the send string. Nothing is recorded while a macro is
    // chosen or six keys are taken: recording then does not start.
    void startRecording(Recording how);
    void stopRecording();

    // The text boxes changed the texts themselves.
    void sendTextEdited(std::u16string_view text);
    void commentEdited(std::u16string_view text);

    void clear();
    void setMacroChecked(bool checked);
    void setModifierBox(ModifierBox box, bool checked);
    // The combo box's selection changed; nothing = no selection. The position after the
    // entries is "New Macro".
    void chooseComboPosition(std::optional<std::size_t> position);

    // Store the entry and move to the next or previous one. Ignored while disabled.
    void next();
    void prev();
    // Store the entry; the dialog then ends. Leaving without storing needs no call.
    void close();

  private:
    void fillCombo();
    std::optional<std::size_t> comboPositionOf(std::size_t macro) const;
    void load();
    void loadButton();
    void loadCommand();
    void setBoxesFromFirstWord();
    void store();
    void storeButton();
    void storeCommand();
    void updatePrevNext();
    std::size_t lastEntry() const;
    bool fits(std::size_t extraChars) const;
    KeyResult take(VirtualKey key, const KeyboardSnapshot& snapshot,
                   std::optional<VirtualKey> inputMethodKey);
    void chooseNewMacro();

    RemoteModel& model_;
    SendStringHost& host_;
    SendStringState state_;
};

}  // namespace tessik
