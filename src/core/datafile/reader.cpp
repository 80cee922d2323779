#include "core/datafile/reader.hpp"

#include "core/bytes/byte_io.hpp"

namespace tessik {
namespace {

constexpr FileVersion kFirst64SlotVersion = FileVersion::of(1, 0, 1, 2);
constexpr FileVersion kFirst128SlotVersion = FileVersion::of(1, 0, 1, 5);

// The header is compared unit for unit, case and trailing spaces included.
bool headerIs(const ByteReader& r, std::u16string_view expected) {
    if (!r.has(0, kHeaderTextUnits * 2)) return false;
    for (std::size_t i = 0; i < kHeaderTextUnits; ++i) {
        if (r.u16(2 * i) != expected[i]) return false;
    }
    return true;
}

template <typename Record, std::size_t Size, typename Enc, typename Dec>
void overlay(Record& target, const ByteReader& r, std::size_t offset, Enc enc, Dec dec) {
    if (!r.has(offset, 1)) return;  // nothing present: stays as reset
    target = overlayRecord<Record, Size>(target, r.sub(offset, Size), enc, dec);
}

}  // namespace

std::optional<DataFileLayout> detectLayout(std::span<const std::uint8_t> bytes,
                                           FileVersion ownVersion) {
    const ByteReader r(bytes);
    if (!headerIs(r, kFileHeaderText)) {
        if (headerIs(r, kLegacyHeaderText)) return DataFileLayout::Legacy;
        return std::nullopt;
    }
    const FileVersion v{r.u32(kVersionOffset + 4), r.u32(kVersionOffset)};
    if (v > ownVersion) return std::nullopt;
    if (v >= kFirst128SlotVersion) return DataFileLayout::Current;
    if (v >= kFirst64SlotVersion) return DataFileLayout::Slots64;
    return DataFileLayout::OldRecords;
}

std::optional<DataFileLayout> readDataFile(std::span<const std::uint8_t> bytes,
                                           RemoteTables& tables, FileVersion ownVersion) {
    const auto layout = detectLayout(bytes, ownVersion);
    if (!layout) return std::nullopt;
    const LayoutGeometry g = geometry(*layout);
    // A file cut short (a copy broken off, a full disk) is refused whole: read as far as it goes
    // it would be a partial or empty table that Set Up would then write into the receiver.
    if (bytes.size() < g.fileSize) return std::nullopt;
    const ByteReader r(bytes);

    if (r.has(g.jitterOffset, 4)) tables.jitterPercent = r.i32(g.jitterOffset);
    overlay<RemoteHeader, kRemoteHeaderSize>(
        tables.header, r, g.headerOffset,
        [](const RemoteHeader& h, ByteWriter w) { encodeRemoteHeader(h, w); }, decodeRemoteHeader);

    const std::size_t stride = g.codeRecordSize + kButtonTextSize;
    for (std::size_t s = 0; s < g.slotCount; ++s) {
        const std::size_t at = g.slotsOffset + s * stride;
        ButtonRecord& b = tables.buttons[s];
        if (g.codeRecordSize == kOldCodeRecordSize) {
            // Old records are converted whole; a cut one yields zeros for what is missing.
            if (r.has(at, 1))
                b.code = decodeCodeRecord(r.sub(at, kOldCodeRecordSize), kOldCodeRecordLayout);
        } else {
            overlay<CodeRecord, kCodeRecordSize>(
                b.code, r, at, [](const CodeRecord& c, ByteWriter w) { encodeCodeRecord(c, w); },
                [](ByteReader rec) { return decodeCodeRecord(rec); });
        }
        overlay<ButtonText, kButtonTextSize>(b.text, r, at + g.codeRecordSize, encodeButtonText,
                                             decodeButtonText);
    }
    for (std::size_t m = 0; m < g.macroCount; ++m) {
        overlay<MacroRecord, kMacroRecordSize>(tables.macros[m], r,
                                               g.macrosOffset + m * kMacroRecordSize,
                                               encodeMacroRecord, decodeMacroRecord);
    }
    return layout;
}

}  // namespace tessik
