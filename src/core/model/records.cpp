#include "core/model/records.hpp"

#include "core/bytes/text_field.hpp"

namespace tessik {
namespace {

// A key count read from a file or a device is bounded to the six words a list holds, so
// nothing that walks the list by its count can leave it.
std::uint16_t boundedKeyCount(std::uint16_t n) {
    return n > kKeyWords ? static_cast<std::uint16_t>(kKeyWords) : n;
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

// CodeRecord ----------------------------------------------------------------------------------

namespace {

// The timings, in record order.
constexpr std::array<std::uint16_t CodeRecord::*, 9> kTimingFields = {
    &CodeRecord::pairCount, &CodeRecord::leaderHigh, &CodeRecord::leaderLow,
    &CodeRecord::oneMax,    &CodeRecord::lowMax,     &CodeRecord::oneMin,
    &CodeRecord::lowMin,    &CodeRecord::highMax,    &CodeRecord::highMin};
static_assert(kCodeRecordLayout.timings.units == kTimingFields.size());
static_assert(kOldCodeRecordLayout.timings.units == kTimingFields.size());

// Hands every field of `c` with its place in `layout` to `io`, which reads or writes it: the
// one list of fields both directions and both layouts go through.
template <typename Record, typename Io>
void transferCodeRecord(Record& c, const CodeRecordLayout& l, Io& io) {
    io.units(l.format, std::span(&c.format, 1));
    io.units(l.reserved1, std::span(&c.reserved1, 1));
    for (std::size_t i = 0; i < kTimingFields.size(); ++i) {
        const CodeFieldPlace one{l.timings.offset + 2 * i, i < l.timings.units ? 1u : 0u};
        io.units(one, std::span(&(c.*kTimingFields[i]), 1));
    }
    io.units(l.codeBytes, std::span(c.codeBytes));
    io.units(l.bitCount, std::span(&c.bitCount, 1));
    io.units(l.keys, std::span(c.keys));
    io.units(l.reserved54, std::span(&c.reserved54, 1));
    io.units(l.codeValue, std::span(&c.codeValue, 1));
}

class Decoding {
  public:
    explicit Decoding(const ByteReader& r) : r_(r) {}
    template <typename T, std::size_t N>
    void units(CodeFieldPlace place, std::span<T, N> out) {
        for (std::size_t i = 0; i < place.units && i < out.size(); ++i)
            out[i] = read<T>(place.offset + sizeof(T) * i);
    }

  private:
    template <typename T>
    T read(std::size_t at) const {
        if constexpr (sizeof(T) == 1) {
            return r_.u8(at);
        } else if constexpr (sizeof(T) == 2) {
            return r_.u16(at);
        } else {
            static_assert(sizeof(T) == 8);
            return r_.u64(at);
        }
    }
    const ByteReader& r_;
};

class Encoding {
  public:
    explicit Encoding(ByteWriter& w) : w_(w) {}
    template <typename T, std::size_t N>
    void units(CodeFieldPlace place, std::span<const T, N> in) {
        for (std::size_t i = 0; i < place.units && i < in.size(); ++i)
            write(place.offset + sizeof(T) * i, in[i]);
    }

  private:
    void write(std::size_t at, std::uint8_t v) { w_.u8(at, v); }
    void write(std::size_t at, std::uint16_t v) { w_.u16(at, v); }
    void write(std::size_t at, std::uint64_t v) { w_.u64(at, v); }
    ByteWriter& w_;
};

}  // namespace

CodeRecord decodeCodeRecord(ByteReader r, const CodeRecordLayout& layout) {
    CodeRecord c;
    Decoding io(r);
    transferCodeRecord(c, layout, io);
    return c;
}

void encodeCodeRecord(const CodeRecord& c, ByteWriter w, const CodeRecordLayout& layout) {
    Encoding io(w);
    transferCodeRecord(c, layout, io);
}

std::array<std::uint8_t, kCodeRecordSize> encodeCodeRecord(const CodeRecord& c) {
    std::array<std::uint8_t, kCodeRecordSize> out{};
    encodeCodeRecord(c, ByteWriter(out));
    return out;
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
