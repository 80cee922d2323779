#pragma once
// The numbered string table: every message the tool shows, in English and Japanese.
// Texts are UTF-8; "%d" and "%%" are filled with formatText.

#include <optional>
#include <string_view>

#include "core/text/language.hpp"

namespace tessik {

enum class StringId : int {
    VersionMenuItem = 101,
    MainCaption = 103,
    SetUpFailed = 104,
    SetUpSucceeded = 105,
    ButtonTableFull = 106,
    CapturePrompt = 107,
    FirstPressStandby = 108,
    SecondPressPrompt = 109,
    SecondPressStandby = 110,
    ReadingCompleted = 111,
    NothingDecoded = 112,
    CodeLengthDiffers = 113,
    CodeAlreadyTaken = 114,
    CodeDiffersFromFirst = 115,
    TooFewEntries = 116,
    MacroCaption = 117,
    MacroCommandsFull = 118,
    ExitWithUnsaved = 119,
    NewMacro = 120,
    OverwriteExisting = 121,
    OverwriteOnSave = 122,
    BadDataFile = 123,
    DeleteNumberQuestion = 124,
    MacroColumnComment = 125,
    MacroColumnCommand = 126,
    ColumnIrData = 127,
    ColumnSendText = 128,
    ColumnComment = 129,
    ColumnNo = 130,
    ColumnMacroName = 131,
    ColumnInterval = 132,
    ColumnCommand1 = 133,
    ColumnCommand8 = 140,
    JitterLabel = 141,
    DeviceNotConnected = 142,
    ContinueWithUnsaved = 144,
    FirmwareUpdateSucceeded = 145,
    FirmwareUpdateFailed = 146,
    IrDataTooLong = 147,
    UpdateWaiting = 148,
    DeviceAccessDenied = 149,  // a receiver is there, but this user may not open it
};

// The text of `id` in `language`. Identifiers between the named ones (134..139, the command
// columns) are valid too; an identifier that the table lacks (102, 143) yields "".
std::string_view text(StringId id, Language language);
std::string_view text(StringId id);  // in uiLanguage()

// The n-th (0..7) command column heading of the macro list.
StringId commandColumn(int n);

bool hasText(int id);

}  // namespace tessik
