#pragma once
// The records of one remote control, exactly as the data file stores them and the device
// commands carry them. Each record is described once, with its offsets, and converted field by
// field; sizes are fixed by the file format and the device.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "core/bytes/byte_io.hpp"

namespace tessik {

inline constexpr std::size_t kButtonSlots = 128;
inline constexpr std::size_t kMacroSlots = 10;
inline constexpr std::size_t kMacroCommands = 8;
inline constexpr std::size_t kKeyWords = 6;
inline constexpr std::size_t kTextUnits = 129;        // send text, comment, macro name: 128 + 0
inline constexpr std::size_t kRemoteNameUnits = 257;  // remote-control name: 256 + 0
inline constexpr std::size_t kMaxTextChars = kTextUnits - 1;
inline constexpr std::size_t kMaxRemoteNameChars = kRemoteNameUnits - 1;

// First key word that turns a send string into a reference to a macro (second word = index).
inline constexpr std::uint16_t kMacroMarker = 0x00FF;

// 0 = free slot / nothing decoded; all ones = the code had too many bits to decode.
inline constexpr std::uint64_t kCodeTooLong = 0xFFFFFFFFFFFFFFFFull;

using KeyCodeList = std::array<std::uint16_t, kKeyWords>;

// A key list as files and device frames store it: six little-endian words from `offset`.
KeyCodeList readKeys(const ByteReader& r, std::size_t offset);
void writeKeys(ByteWriter& w, std::size_t offset, const KeyCodeList& keys);

// ---------------------------------------------------------------------------------------------
// CodeRecord, 64 bytes: one captured button. The decoders fill bytes 0..41 and 56..63, the
// send-string editor bytes 42..53.
inline constexpr std::size_t kCodeRecordSize = 64;
inline constexpr std::size_t kCodeBytesCount = 20;

struct CodeRecord {
    std::uint8_t format = 0;  // 0 not decoded, 1 pulse distance, 2 pulse width
    std::uint8_t reserved1 = 0;
    std::uint16_t pairCount = 0;
    std::uint16_t leaderHigh = 0;
    std::uint16_t leaderLow = 0;
    std::uint16_t oneMax = 0;
    std::uint16_t lowMax = 0;
    std::uint16_t oneMin = 0;
    std::uint16_t lowMin = 0;
    std::uint16_t highMax = 0;
    std::uint16_t highMin = 0;
    std::array<std::uint8_t, kCodeBytesCount> codeBytes{};
    std::uint16_t bitCount = 0;
    KeyCodeList keys{};  // KeyCodeList
    std::uint16_t reserved54 = 0;
    std::uint64_t codeValue = 0;

    bool occupied() const { return codeValue != 0; }
    bool operator==(const CodeRecord&) const = default;
};

// Files written before version 1.0.1.2 hold a 56-byte code record with ten code bytes and three
// key words only.
inline constexpr std::size_t kOldCodeRecordSize = 56;

// Where a layout of the code record keeps each field: its offset and how many units it holds
// there (bytes of codeBytes, words of keys and of the timings, 1 for the rest); 0 units where
// the layout has no such field. One column per layout:
//
//   field        current (64 bytes)        old (56 bytes)
//   format       u8 at 0                   u8 at 0
//   reserved1    u8 at 1                   - (old byte 1 is not taken)
//   timings      9 u16 at 2..19            9 u16 at 2..19
//   codeBytes    20 bytes at 20..39        10 bytes at 20..29
//   bitCount     u16 at 40                 u16 at 30
//   keys         6 u16 at 42..53           3 u16 at 32..37 (old 38..47 are not taken)
//   reserved54   u16 at 54                 -
//   codeValue    u64 at 56                 u64 at 48
//
// The timings are pairCount, leaderHigh, leaderLow, oneMax, lowMax, oneMin, lowMin, highMax and
// highMin, in that order. Decoding leaves what a layout lacks at zero.
struct CodeFieldPlace {
    std::size_t offset = 0;
    std::size_t units = 0;
};

struct CodeRecordLayout {
    std::size_t size;
    CodeFieldPlace format, reserved1, timings, codeBytes, bitCount, keys, reserved54, codeValue;
};

// clang-format off
inline constexpr CodeRecordLayout kCodeRecordLayout{kCodeRecordSize,
    {0, 1}, {1, 1}, {2, 9}, {20, kCodeBytesCount}, {40, 1}, {42, kKeyWords}, {54, 1}, {56, 1}};
inline constexpr CodeRecordLayout kOldCodeRecordLayout{kOldCodeRecordSize,
    {0, 1}, {},     {2, 9}, {20, 10},              {30, 1}, {32, 3},         {},      {48, 1}};
// clang-format on
// The current record leaves no byte out.
static_assert(kCodeRecordLayout.timings.offset + 2 * 9 == kCodeRecordLayout.codeBytes.offset);
static_assert(kCodeRecordLayout.codeBytes.offset + kCodeBytesCount ==
              kCodeRecordLayout.bitCount.offset);
static_assert(kCodeRecordLayout.keys.offset + 2 * kKeyWords == kCodeRecordLayout.reserved54.offset);
static_assert(kCodeRecordLayout.codeValue.offset + 8 == kCodeRecordLayout.size);
static_assert(kOldCodeRecordLayout.codeValue.offset + 8 == kOldCodeRecordLayout.size);

CodeRecord decodeCodeRecord(ByteReader r, const CodeRecordLayout& layout = kCodeRecordLayout);
void encodeCodeRecord(const CodeRecord& c, ByteWriter w,
                      const CodeRecordLayout& layout = kCodeRecordLayout);
std::array<std::uint8_t, kCodeRecordSize> encodeCodeRecord(const CodeRecord& c);

// ---------------------------------------------------------------------------------------------
// ButtonText, 518 bytes: what the main list shows beside a code.
inline constexpr std::size_t kButtonTextSize = 518;

struct ButtonText {
    std::uint16_t keyCount = 0;  // 0..6 leading words of the KeyCodeList in use
    std::u16string sendText;     // at most 128 characters
    std::u16string comment;      // at most 128 characters
    bool operator==(const ButtonText&) const = default;
};

ButtonText decodeButtonText(ByteReader r);
void encodeButtonText(const ButtonText& t, ByteWriter w);

// A slot of the button table as the data file stores it: CodeRecord then ButtonText.
inline constexpr std::size_t kButtonRecordSize = kCodeRecordSize + kButtonTextSize;

struct ButtonRecord {
    CodeRecord code;
    ButtonText text;
    bool operator==(const ButtonRecord&) const = default;
};

// ---------------------------------------------------------------------------------------------
// RemoteHeader, 550 bytes: the name and the timing statistics over all stored codes.
inline constexpr std::size_t kRemoteHeaderSize = 550;

struct TimingGroup {
    std::uint16_t max = 0;
    std::uint16_t min = 0xFFFF;
    std::uint16_t mid = 0;
    bool operator==(const TimingGroup&) const = default;
};

struct RemoteHeader {
    std::uint8_t format = 0;
    std::uint8_t reserved1 = 0;
    std::u16string remoteName;  // at most 256 characters
    std::uint16_t pairCount = 0;
    // In file order: leader high, leader low, one, low, high; each max, min, mid.
    TimingGroup leaderHigh;
    TimingGroup leaderLow;
    TimingGroup one;
    TimingGroup low;
    TimingGroup high;
    std::uint8_t bitCount = 0;
    std::uint8_t reserved549 = 0;
    bool operator==(const RemoteHeader&) const = default;
};

RemoteHeader decodeRemoteHeader(ByteReader r);
void encodeRemoteHeader(const RemoteHeader& h, ByteWriter w);

// ---------------------------------------------------------------------------------------------
// MacroRecord, 4502 bytes: a named list of eight send strings typed one after the other.
inline constexpr std::size_t kMacroRecordSize = 4502;

struct MacroCommand {
    std::uint16_t keyCount = 0;
    KeyCodeList keys{};
    std::u16string sendText;  // empty = the command does not exist
    std::u16string comment;
    bool operator==(const MacroCommand&) const = default;
};

struct MacroRecord {
    std::uint8_t used = 0;  // 1 registered, 0 free
    std::uint8_t reserved1 = 0;
    std::uint16_t interval = 0;  // ms between commands; 0 is shown as 500
    std::array<MacroCommand, kMacroCommands> commands{};
    std::u16string name;
    bool operator==(const MacroRecord&) const = default;
};

MacroRecord decodeMacroRecord(ByteReader r);
void encodeMacroRecord(const MacroRecord& m, ByteWriter w);

// Offsets inside a MacroRecord that the Set Macro command copies raw.
inline constexpr std::size_t kMacroIntervalOffset = 2;
inline constexpr std::size_t kMacroKeyListsOffset = 20;

// Decodes `r` over the encoding of `base`: the bytes r holds replace base's, the rest keep
// base's values. Used for files shorter than their layout, whose missing part must stay as
// ResetTables left it.
template <typename Record, std::size_t Size, typename Enc, typename Dec>
Record overlayRecord(const Record& base, ByteReader r, Enc encode, Dec decode) {
    std::array<std::uint8_t, Size> buf{};
    encode(base, ByteWriter(buf));
    auto present = r.bytes(0, Size);
    std::copy(present.begin(), present.end(), buf.begin());
    return decode(ByteReader(buf));
}

}  // namespace tessik
