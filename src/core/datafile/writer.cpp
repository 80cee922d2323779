#include "core/datafile/writer.hpp"

#include "core/bytes/byte_io.hpp"

namespace tessik {

std::vector<std::uint8_t> encodeDataFile(const RemoteTables& tables, FileVersion version) {
    const LayoutGeometry g = geometry(DataFileLayout::Current);
    std::vector<std::uint8_t> out(g.fileSize, 0);
    ByteWriter w(out);
    for (std::size_t i = 0; i < kHeaderTextUnits; ++i)
        w.u16(2 * i, kFileHeaderText[i]);
    w.u32(kVersionOffset, version.low);
    w.u32(kVersionOffset + 4, version.high);
    w.i32(g.jitterOffset, tables.jitterPercent);
    encodeRemoteHeader(tables.header, w.sub(g.headerOffset, kRemoteHeaderSize));
    for (std::size_t s = 0; s < kButtonSlots; ++s) {
        const std::size_t at = g.slotsOffset + s * kButtonRecordSize;
        encodeCodeRecord(tables.buttons[s].code, w.sub(at, kCodeRecordSize));
        encodeButtonText(tables.buttons[s].text, w.sub(at + kCodeRecordSize, kButtonTextSize));
    }
    for (std::size_t m = 0; m < kMacroSlots; ++m) {
        encodeMacroRecord(tables.macros[m],
                          w.sub(g.macrosOffset + m * kMacroRecordSize, kMacroRecordSize));
    }
    return out;
}

}  // namespace tessik
