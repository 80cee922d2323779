#include "core/model/records.hpp"

#include "core/bytes/text_field.hpp"

namespace tessik {
namespace {

// A key count read from a file or a device is bounded to the six words a list holds, so
// nothing that walks the list by its count can leave it.
std::uint16_t boundedKeyCount(std::uint16_t n) {
    return n > kKeyWords ? static_cast<std::uint16_t>(kKeyWords) : n;
}

KeyCodeList readKeys(const ByteReader& r, std::size_t offset) {
    KeyCodeList k{};
    for (std::size_t i = 0; i < kKeyWords; ++i)
        k[i] = r.u16(offset + 2 * i);
    return k;
}

void writeKeys(ByteWriter& w, std::size_t offset, const KeyCodeList& k) {
    for (std::size_t i = 0; i < kKeyWords; ++i)
        w.u16(offset + 2 * i, k[i]);
}

constexpr std::size_t kTextBytes = kTextUnits * 2;

// A text field holds at most width - 1 characters and a terminator. A damaged field without a
// terminator yields its first width - 1 units, so the model never holds a text that could not
// be written back as it is.
std::u16string readText(const ByteReader& r, std::size_t offset, std::size_t units) {
    return clipText(readTextField(r, offset, units), units - 1);
}

TimingGroup readGroup(const ByteReader& r, std::size_t offset) {
    return TimingGroup{r.u16(offset), r.u16(offset + 2), r.u16(offset + 4)};
}

void writeGroup(ByteWriter& w, std::size_t offset, const TimingGroup& g) {
    w.u16(offset, g.max);
    w.u16(offset + 2, g.min);
    w.u16(offset + 4, g.mid);
}

}  // namespace

// CodeRecord ----------------------------------------------------------------------------------

CodeRecord decodeCodeRecord(ByteReader r) {
    CodeRecord c;
    c.format = r.u8(0);
    c.reserved1 = r.u8(1);
    c.pairCount = r.u16(2);
    c.leaderHigh = r.u16(4);
    c.leaderLow = r.u16(6);
    c.oneMax = r.u16(8);
    c.lowMax = r.u16(10);
    c.oneMin = r.u16(12);
    c.lowMin = r.u16(14);
    c.highMax = r.u16(16);
    c.highMin = r.u16(18);
    for (std::size_t i = 0; i < kCodeBytesCount; ++i)
        c.codeBytes[i] = r.u8(20 + i);
    c.bitCount = r.u16(40);
    c.keys = readKeys(r, 42);
    c.reserved54 = r.u16(54);
    c.codeValue = r.u64(56);
    return c;
}

void encodeCodeRecord(const CodeRecord& c, ByteWriter w) {
    w.u8(0, c.format);
    w.u8(1, c.reserved1);
    w.u16(2, c.pairCount);
    w.u16(4, c.leaderHigh);
    w.u16(6, c.leaderLow);
    w.u16(8, c.oneMax);
    w.u16(10, c.lowMax);
    w.u16(12, c.oneMin);
    w.u16(14, c.lowMin);
    w.u16(16, c.highMax);
    w.u16(18, c.highMin);
    for (std::size_t i = 0; i < kCodeBytesCount; ++i)
        w.u8(20 + i, c.codeBytes[i]);
    w.u16(40, c.bitCount);
    writeKeys(w, 42, c.keys);
    w.u16(54, c.reserved54);
    w.u64(56, c.codeValue);
}

std::array<std::uint8_t, kCodeRecordSize> encodeCodeRecord(const CodeRecord& c) {
    std::array<std::uint8_t, kCodeRecordSize> out{};
    encodeCodeRecord(c, ByteWriter(out));
    return out;
}

CodeRecord decodeOldCodeRecord(ByteReader r) {
    // Old bytes 0, 2..29 sit where they sit today; the bit count moved from 30 to 40, the
    // three key words from 32 to 42, the code value from 48 to 56. Old byte 1 and 38..47
    // are not taken.
    CodeRecord c;
    c.format = r.u8(0);
    c.pairCount = r.u16(2);
    c.leaderHigh = r.u16(4);
    c.leaderLow = r.u16(6);
    c.oneMax = r.u16(8);
    c.lowMax = r.u16(10);
    c.oneMin = r.u16(12);
    c.lowMin = r.u16(14);
    c.highMax = r.u16(16);
    c.highMin = r.u16(18);
    for (std::size_t i = 0; i < 10; ++i)
        c.codeBytes[i] = r.u8(20 + i);
    c.bitCount = r.u16(30);
    for (std::size_t i = 0; i < 3; ++i)
        c.keys[i] = r.u16(32 + 2 * i);
    c.codeValue = r.u64(48);
    return c;
}

// ButtonText ----------------------------------------------------------------------------------

ButtonText decodeButtonText(ByteReader r) {
    ButtonText t;
    t.keyCount = boundedKeyCount(r.u16(0));
    t.sendText = readText(r, 2, kTextUnits);
    t.comment = readText(r, 2 + kTextBytes, kTextUnits);
    return t;
}

void encodeButtonText(const ButtonText& t, ByteWriter w) {
    w.u16(0, t.keyCount);
    writeTextField(w, 2, kTextUnits, t.sendText);
    writeTextField(w, 2 + kTextBytes, kTextUnits, t.comment);
}

// RemoteHeader --------------------------------------------------------------------------------

namespace {
constexpr std::size_t kNameOffset = 2;
constexpr std::size_t kPairCountOffset = kNameOffset + kRemoteNameUnits * 2;  // 516
constexpr std::size_t kStatsOffset = kPairCountOffset + 2;                    // 518
constexpr std::size_t kHeaderBitCountOffset = kStatsOffset + 15 * 2;          // 548
static_assert(kPairCountOffset == 516 && kStatsOffset == 518 && kHeaderBitCountOffset == 548);
static_assert(kHeaderBitCountOffset + 2 == kRemoteHeaderSize);
}  // namespace

RemoteHeader decodeRemoteHeader(ByteReader r) {
    RemoteHeader h;
    h.format = r.u8(0);
    h.reserved1 = r.u8(1);
    h.remoteName = readText(r, kNameOffset, kRemoteNameUnits);
    h.pairCount = r.u16(kPairCountOffset);
    h.leaderHigh = readGroup(r, kStatsOffset);
    h.leaderLow = readGroup(r, kStatsOffset + 6);
    h.one = readGroup(r, kStatsOffset + 12);
    h.low = readGroup(r, kStatsOffset + 18);
    h.high = readGroup(r, kStatsOffset + 24);
    h.bitCount = r.u8(kHeaderBitCountOffset);
    h.reserved549 = r.u8(kHeaderBitCountOffset + 1);
    return h;
}

void encodeRemoteHeader(const RemoteHeader& h, ByteWriter w) {
    w.u8(0, h.format);
    w.u8(1, h.reserved1);
    writeTextField(w, kNameOffset, kRemoteNameUnits, h.remoteName);
    w.u16(kPairCountOffset, h.pairCount);
    writeGroup(w, kStatsOffset, h.leaderHigh);
    writeGroup(w, kStatsOffset + 6, h.leaderLow);
    writeGroup(w, kStatsOffset + 12, h.one);
    writeGroup(w, kStatsOffset + 18, h.low);
    writeGroup(w, kStatsOffset + 24, h.high);
    w.u8(kHeaderBitCountOffset, h.bitCount);
    w.u8(kHeaderBitCountOffset + 1, h.reserved549);
}

// MacroRecord ---------------------------------------------------------------------------------

namespace {
constexpr std::size_t kKeyCountsOffset = 4;
constexpr std::size_t kSendTextsOffset = kMacroKeyListsOffset + kMacroCommands * 12;     // 116
constexpr std::size_t kCommentsOffset = kSendTextsOffset + kMacroCommands * kTextBytes;  // 2180
constexpr std::size_t kMacroNameOffset = kCommentsOffset + kMacroCommands * kTextBytes;  // 4244
static_assert(kSendTextsOffset == 116 && kCommentsOffset == 2180 && kMacroNameOffset == 4244);
static_assert(kMacroNameOffset + kTextBytes == kMacroRecordSize);
}  // namespace

MacroRecord decodeMacroRecord(ByteReader r) {
    MacroRecord m;
    m.used = r.u8(0);
    m.reserved1 = r.u8(1);
    m.interval = r.u16(kMacroIntervalOffset);
    for (std::size_t c = 0; c < kMacroCommands; ++c) {
        MacroCommand& cmd = m.commands[c];
        cmd.keyCount = boundedKeyCount(r.u16(kKeyCountsOffset + 2 * c));
        cmd.keys = readKeys(r, kMacroKeyListsOffset + 12 * c);
        cmd.sendText = readText(r, kSendTextsOffset + kTextBytes * c, kTextUnits);
        cmd.comment = readText(r, kCommentsOffset + kTextBytes * c, kTextUnits);
    }
    m.name = readText(r, kMacroNameOffset, kTextUnits);
    return m;
}

void encodeMacroRecord(const MacroRecord& m, ByteWriter w) {
    w.u8(0, m.used);
    w.u8(1, m.reserved1);
    w.u16(kMacroIntervalOffset, m.interval);
    for (std::size_t c = 0; c < kMacroCommands; ++c) {
        const MacroCommand& cmd = m.commands[c];
        w.u16(kKeyCountsOffset + 2 * c, cmd.keyCount);
        writeKeys(w, kMacroKeyListsOffset + 12 * c, cmd.keys);
        writeTextField(w, kSendTextsOffset + kTextBytes * c, kTextUnits, cmd.sendText);
        writeTextField(w, kCommentsOffset + kTextBytes * c, kTextUnits, cmd.comment);
    }
    writeTextField(w, kMacroNameOffset, kTextUnits, m.name);
}

static_assert(kCodeRecordSize == 64 && kButtonTextSize == 518 && kRemoteHeaderSize == 550 &&
              kMacroRecordSize == 4502 && kButtonRecordSize == 582);

}  // namespace tessik
