#pragma once
// The ".ird" data file: a fixed text header, the writer's version, then the model's records
// raw at fixed offsets. Four layouts exist; the current one is written, all four are read.

#include <compare>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/model/records.hpp"

namespace tessik {

// A program file version major.minor.build.revision as the file stores it: the high word
// (major << 16 | minor) and the low word (build << 16 | revision). Compared high word first.
struct FileVersion {
    std::uint32_t high = 0;
    std::uint32_t low = 0;

    static constexpr FileVersion of(std::uint16_t major, std::uint16_t minor, std::uint16_t build,
                                    std::uint16_t revision) {
        return FileVersion{(std::uint32_t{major} << 16) | minor,
                           (std::uint32_t{build} << 16) | revision};
    }
    auto operator<=>(const FileVersion&) const = default;
};

// This program's own version, written into every file it saves and the newest it opens.
// One number for both UI languages, so a file saved under one opens under the other.
inline constexpr FileVersion kProgramFileVersion = FileVersion::of(
    TESSIK_VERSION_MAJOR, TESSIK_VERSION_MINOR, TESSIK_VERSION_BUILD, TESSIK_VERSION_REVISION);

// 50 UTF-16 units each, no terminator. The current header ends in eleven spaces; the legacy
// header carries its version in the text and the file has no version field.
inline constexpr std::u16string_view kFileHeaderText =
    u"Vorlane Quorvex Lumenar Setup Data File           ";
inline constexpr std::u16string_view kLegacyHeaderText =
    u"Vorlane Quorvex Lumenar Setup Data File.Ver1.0.0.2";
inline constexpr std::size_t kHeaderTextUnits = 50;
static_assert(kFileHeaderText.size() == kHeaderTextUnits);
static_assert(kLegacyHeaderText.size() == kHeaderTextUnits);

enum class DataFileLayout {
    Current,     // 1.0.1.5 and later: 128 slots, 120178 bytes
    Slots64,     // 1.0.1.2 .. 1.0.1.4: 64 slots, 82930 bytes
    OldRecords,  // before 1.0.1.2: 64 slots of 56-byte code records, 82418 bytes
    Legacy,      // no version field: 8 slots and one macro, 9812 bytes
};

struct LayoutGeometry {
    std::size_t jitterOffset;
    std::size_t headerOffset;
    std::size_t slotsOffset;
    std::size_t slotCount;
    std::size_t codeRecordSize;  // 64, or 56 for the old records
    std::size_t macrosOffset;
    std::size_t macroCount;
    std::size_t fileSize;
};

inline constexpr std::size_t kVersionOffset = 100;  // low word, then high word at 104

// A layout follows from four numbers: where the jitter field sits (the remote header follows
// it, then the button slots, then the macros), how many slots it has, how long its code
// records are and how many macros it holds.
constexpr LayoutGeometry laidOut(std::size_t jitterOffset, std::size_t slotCount,
                                 std::size_t codeRecordSize, std::size_t macroCount) {
    const std::size_t headerOffset = jitterOffset + 4;
    const std::size_t slotsOffset = headerOffset + kRemoteHeaderSize;
    const std::size_t macrosOffset = slotsOffset + slotCount * (codeRecordSize + kButtonTextSize);
    return {
        jitterOffset,   headerOffset, slotsOffset, slotCount,
        codeRecordSize, macrosOffset, macroCount,  macrosOffset + macroCount * kMacroRecordSize};
}

constexpr LayoutGeometry geometry(DataFileLayout layout) {
    switch (layout) {
        case DataFileLayout::Current:
            return laidOut(108, 128, kCodeRecordSize, 10);
        case DataFileLayout::Slots64:
            return laidOut(108, 64, kCodeRecordSize, 10);
        case DataFileLayout::OldRecords:
            return laidOut(108, 64, kOldCodeRecordSize, 10);
        case DataFileLayout::Legacy:
            return laidOut(100, 8, kCodeRecordSize, 1);
    }
    return {};
}

inline constexpr std::size_t kDataFileSize = geometry(DataFileLayout::Current).fileSize;
static_assert(kDataFileSize == 120178);
static_assert(geometry(DataFileLayout::Current).slotsOffset == 662);
static_assert(geometry(DataFileLayout::Legacy).slotsOffset == 654);
static_assert(geometry(DataFileLayout::Current).macrosOffset == 75158);
static_assert(geometry(DataFileLayout::Slots64).fileSize == 82930);
static_assert(geometry(DataFileLayout::OldRecords).fileSize == 82418);
static_assert(geometry(DataFileLayout::Legacy).macrosOffset == 5310);
static_assert(geometry(DataFileLayout::Legacy).fileSize == 9812);

}  // namespace tessik
