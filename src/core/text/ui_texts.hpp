#pragma once
// Dialog captions, the main menu and the control labels of every dialog, in both languages.

#include <string_view>
#include <vector>

#include "core/text/language.hpp"

namespace tessik {

enum class DialogId : int {
    About = 100,
    Main = 102,
    InputKey = 131,
    Debug = 138,
    Capture = 139,
    Name = 142,
    Macro = 143,
    Jitter = 147,
    SetUp = 148,
    MacroList = 151,
    FirmwareUpdate = 158,
    Import = 160,       // the preview of File > Import...
    Signal = 161,       // Edit > Signal: the pulse train of the selected row
    ButtonTest = 162,   // Edit > Test Buttons: which row a remote button is
    GuidedSetUp = 163,  // File > Guided Set-Up...: teaching a remote button by button
};

std::string_view caption(DialogId dialog, Language language);

// Main-window menu commands with their historical identifiers.
enum class CommandId : int {
    VersionSystemMenu = 16,
    New = 57600,
    Open = 57601,
    Save = 57603,
    SaveAs = 57604,
    Exit = 32775,
    Capture = 32781,
    DeleteIr = 32787,
    SetUp = 32782,
    EditMacro = 32784,
    Jitter = 32790,
    Help = 32791,
    About = 32779,
    DebugWindow = 32780,
    FirmwareUpdate = 32795,
    Import = 32796,         // File > Import...: buttons from IR code files
    Signal = 32797,         // Edit > Signal: the window with the selected row's pulse train
    Rename = 32798,         // Edit > Rename...: the remote control's name
    VirtualRemote = 32799,  // Setup > Virtual Remote...: only with the simulated receiver
    EditKeys = 32800,       // Edit > Edit Keys...: the selected row's send string, as a
                            // double-click on it
    Export = 32801,         // File > Export...: the buttons as an IR code file other tools read
    Recapture = 32802,      // Edit > Re-capture...: a new code for the selected row
    TestButtons = 32803,    // Edit > Test Buttons: which row each remote button is
    GuidedSetUp = 32804,    // File > Guided Set-Up...: a layout's buttons asked for one by one
    Undo = 57643,
    Redo = 57644,
};

struct MenuItem {
    bool separator = false;
    CommandId command{};
    std::string_view text;
    // The keys beside the entry, in the toolkit's portable notation; several are separated by
    // "; " (the first is the one shown).
    std::string_view shortcut{};
};

struct Menu {
    std::string_view title;
    std::vector<MenuItem> items;
};

// The main window's four drop-down menus in order, with their separators. Titles and entries
// carry their access keys ("&File", "ファイル(&F)").
std::vector<Menu> mainMenu(Language language);

// The access key of a menu text: the upper-case letter after "&"; 0 for none.
char mnemonic(std::string_view text);

// Labels of controls and fixed texts of the dialogs.
enum class Label {
    Ok,
    Cancel,
    Close,
    MainName,        // main window, before control 1030
    NameEdit,        // name dialog, edit 1032
    AboutFirmware,   // version dialog, control 1066 format
    CaptureResult,   // capture dialog, before 1028
    CaptureComment,  // capture dialog, before 1007
    CaptureNext,     // capture dialog, button 1001
    JitterTemplate,  // jitter dialog, 1052 before it is replaced
    SetUpSet,        // Set Up Data, button 1062
    Progress,        // accessible name: Set Up Data 1055, firmware update 1074
    UpdateLog,       // accessible name: firmware update log 1071
    InputComment,    // send-string editor 1029
    InputSendText,   // send-string editor 1007
    InputLShift,
    InputRShift,
    InputLCtrl,
    InputRCtrl,
    InputLAlt,
    InputRAlt,
    InputLWin,
    InputRWin,
    InputMacro,     // 1045
    InputClear,     // 1033
    InputPrev,      // 1005
    InputNext,      // 1054
    MacroName,      // macro registration 1061
    MacroInterval,  // before 1048
    MacroMsec,      // after the spin control
    MacroAdd,
    MacroEdit,
    MacroDelete,
    UpdateFileOpen,  // firmware update 1068
    UpdateUpdate,    // firmware update 1073
    ImportName,      // import preview: the columns
    ImportProtocol,
    ImportCode,
    ImportResult,
    ImportImport,     // its button that adds the checked signals
    ImportSummary,    // "%d of %d signals will be added." (checked, in the file)
    ImportFiles,      // the file dialog's filter
    ImportFilter,     // before the filter box
    ImportSelectAll,  // Select all and Select none: over the rows the filter shows
    ImportSelectNone,
    ImportGroup,     // a remote's row: "%s (%d signals)" (the remote, its signals)
    ImportGroupOne,  // a remote's row when it has one signal: "%s (1 signal)"
    ImportLayout,    // the choice of the key layout whose keys the signals get
    ImportNoLayout,  // ... its first entry: no keys
    ImportKeys,      // the column of the keys each signal gets
    RowEdit,         // a list row's context menu: its editor
    RowDelete,       // ... deleting it
    RowSignal,       // ... its pulse train
    RowRecapture,    // ... a new code for it
    TestPresses,     // the button test's list of presses
    InputRecord,     // send-string editor: the toggle that records the next key
    InputRecordHow,  // ... the send box's accessible description: how recording works
    JitterSlider,    // accessible name: the jitter dialog's slider
    MainEmpty,       // main window, under an empty list: what the button beside it offers
    MainGuided,      // ... the button that starts a guided set-up
    GuidedIntro,     // guided set-up, its first page: what is about to happen
    GuidedName,      // ... the remote's name
    GuidedLayout,    // ... the key layout
    GuidedRoles,     // ... the list of the layout's roles to teach
    GuidedRole,      // ... columns: the role, the keys it types, the row it went to
    GuidedKeys,
    GuidedRow,
    GuidedAll,  // ... check every role, none
    GuidedNone,
    GuidedRefused,  // ... before the user's layout files that were not read
    GuidedStart,    // ... buttons: start teaching, skip one role, skip all that are left,
    GuidedSkip,     //     back to the role before, and the end page's
    GuidedSkipRest,
    GuidedBack,
    GuidedFinish,
    GuidedEndIntro,   // the end page: what the buttons beside the table do
    GuidedTolerance,  // ... before the timing check of the whole table
    GuidedSetUpData,  // ... its buttons
    GuidedTestButtons,
    GuidedSaveAs,
};

std::string_view label(Label id, Language language);

// The debug window's sixteen value labels, English in every language, and the unit of each
// value ("µs" for the periods, "bits" for the data length).
struct DebugValueLabel {
    int controlId;
    std::string_view text;
    std::string_view unit = "µs";
};
const std::vector<DebugValueLabel>& debugValueLabels();

// The help page set for a language: "Ir_Help" for Japanese, "Ir_Help_e" for every other.
std::string_view helpBaseName(Language language);

}  // namespace tessik
