#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/datafile/data_file.hpp"
#include "core/datafile/reader.hpp"
#include "core/datafile/writer.hpp"
#include "support/model_builders.hpp"
#include "support/temp_dir.hpp"

namespace tessik {
namespace {

namespace fs = std::filesystem;
using test::macroNamed;
using test::modelWithButtons;

RemoteModel fullModel() {
    RemoteModel m = modelWithButtons(128);
    for (std::size_t i = 0; i < kMacroSlots; ++i) {
        m.macros[i] = macroNamed(u"macro " + std::u16string(1, u'0' + i), 1 + i % 8);
    }
    m.jitterPercent = 17;
    m.header.remoteName = u"赤外線 remote";
    return m;
}

void putHeaderText(std::vector<std::uint8_t>& bytes, std::u16string_view text) {
    ByteWriter w(bytes);
    for (std::size_t i = 0; i < text.size(); ++i)
        w.u16(2 * i, text[i]);
}

// Builds a file of an older layout from a model, field by field as that layout places it.
std::vector<std::uint8_t> olderFile(const RemoteModel& m, DataFileLayout layout, FileVersion v) {
    const LayoutGeometry g = geometry(layout);
    std::vector<std::uint8_t> bytes(g.fileSize, 0);
    ByteWriter w(bytes);
    if (layout == DataFileLayout::Legacy) {
        putHeaderText(bytes, kLegacyHeaderText);
    } else {
        putHeaderText(bytes, kFileHeaderText);
        w.u32(100, v.low);
        w.u32(104, v.high);
    }
    w.i32(g.jitterOffset, m.jitterPercent);
    encodeRemoteHeader(m.header, w.sub(g.headerOffset, kRemoteHeaderSize));
    const std::size_t stride = g.codeRecordSize + kButtonTextSize;
    for (std::size_t s = 0; s < g.slotCount; ++s) {
        const std::size_t at = g.slotsOffset + s * stride;
        const CodeRecord& c = m.buttons[s].code;
        if (g.codeRecordSize == kCodeRecordSize) {
            encodeCodeRecord(c, w.sub(at, kCodeRecordSize));
        } else {
            const auto full = encodeCodeRecord(c);
            ByteWriter old = w.sub(at, kOldCodeRecordSize);
            old.bytes(0, std::span(full).subspan(0, 30));
            old.u8(1, 0x77);  // not taken
            old.u16(30, c.bitCount);
            for (std::size_t k = 0; k < 3; ++k)
                old.u16(32 + 2 * k, c.keys[k]);
            old.fill(38, 10, 0x55);  // not taken
            old.u64(48, c.codeValue);
        }
        encodeButtonText(m.buttons[s].text, w.sub(at + g.codeRecordSize, kButtonTextSize));
    }
    for (std::size_t i = 0; i < g.macroCount; ++i) {
        encodeMacroRecord(m.macros[i],
                          w.sub(g.macrosOffset + i * kMacroRecordSize, kMacroRecordSize));
    }
    return bytes;
}

class DataFileOnDisk : public ::testing::Test {
  protected:
    static std::vector<std::uint8_t> slurp(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void spit(const fs::path& p, const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(p, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    test::TempDir tmp_;
    const fs::path& dir_ = tmp_.path();
};

TEST(DataFileFormat, currentLayoutPlacesEveryPartAtItsOffset) {
    const RemoteModel m = fullModel();
    const auto bytes = encodeDataFile(m);
    ASSERT_EQ(bytes.size(), 120178u);
    const ByteReader r(bytes);
    EXPECT_EQ(r.u16(0), u'V');
    EXPECT_EQ(r.u16(98), u' ');
    EXPECT_EQ(r.u32(100), 0x10006u);
    EXPECT_EQ(r.u32(104), 0x10000u);
    EXPECT_EQ(r.i32(108), 17);
    EXPECT_EQ(r.u16(112 + 2), u'赤');
    EXPECT_EQ(r.u64(662 + 56), m.buttons[0].code.codeValue);
    EXPECT_EQ(r.u64(662 + 127 * 582 + 56), m.buttons[127].code.codeValue);
    EXPECT_EQ(r.u8(75158), 1);
    EXPECT_EQ(r.u16(75158 + 9 * 4502 + 4244), u'm');
}

TEST(DataFileFormat, roundTripRestoresEverySlotMacroJitterNameAndStatistics) {
    const RemoteModel m = fullModel();
    const auto bytes = encodeDataFile(m);
    RemoteModel back;
    ASSERT_EQ(readDataFile(bytes, back), DataFileLayout::Current);
    EXPECT_EQ(back.buttons, m.buttons);
    EXPECT_EQ(back.macros, m.macros);
    EXPECT_EQ(back.header, m.header);
    EXPECT_EQ(back.jitterPercent, 17);
    EXPECT_EQ(encodeDataFile(back), bytes);
}

TEST(DataFileFormat, version1013Loads64SlotsAndLeavesTheRestEmpty) {
    const RemoteModel m = fullModel();
    RemoteModel back;
    ASSERT_EQ(
        readDataFile(olderFile(m, DataFileLayout::Slots64, FileVersion::of(1, 0, 1, 3)), back),
        DataFileLayout::Slots64);
    for (std::size_t s = 0; s < 64; ++s)
        EXPECT_EQ(back.buttons[s], m.buttons[s]) << s;
    for (std::size_t s = 64; s < 128; ++s)
        EXPECT_EQ(back.buttons[s], ButtonRecord{}) << s;
    EXPECT_EQ(back.macros, m.macros);
    EXPECT_EQ(back.header, m.header);
}

TEST(DataFileFormat, version1011ConvertsOld56ByteRecordsFieldByField) {
    RemoteModel m = fullModel();
    for (std::size_t i = 0; i < kCodeBytesCount; ++i)
        m.buttons[3].code.codeBytes[i] = 0xA0 + i;
    m.buttons[3].code.keys = {1, 2, 3, 4, 5, 6};
    RemoteModel back;
    ASSERT_EQ(
        readDataFile(olderFile(m, DataFileLayout::OldRecords, FileVersion::of(1, 0, 1, 1)), back),
        DataFileLayout::OldRecords);
    const CodeRecord& c = back.buttons[3].code;
    EXPECT_EQ(c.codeValue, m.buttons[3].code.codeValue);
    EXPECT_EQ(c.bitCount, m.buttons[3].code.bitCount);
    EXPECT_EQ(c.leaderLow, 9000);
    EXPECT_EQ(c.reserved1, 0);
    EXPECT_EQ(c.codeBytes[9], 0xA9);
    for (std::size_t i = 10; i < kCodeBytesCount; ++i)
        EXPECT_EQ(c.codeBytes[i], 0) << i;
    EXPECT_EQ(c.keys, (KeyCodeList{1, 2, 3, 0, 0, 0}));
    EXPECT_EQ(back.buttons[3].text, m.buttons[3].text);
    EXPECT_FALSE(back.buttons[64].code.occupied());
    EXPECT_EQ(back.macros, m.macros);
}

TEST(DataFileFormat, legacyFileLoadsEightSlotsAndMacroZeroOnly) {
    const RemoteModel m = fullModel();
    RemoteModel back;
    ASSERT_EQ(readDataFile(olderFile(m, DataFileLayout::Legacy, {}), back), DataFileLayout::Legacy);
    EXPECT_EQ(back.jitterPercent, 17);
    EXPECT_EQ(back.header, m.header);
    for (std::size_t s = 0; s < 8; ++s)
        EXPECT_EQ(back.buttons[s], m.buttons[s]);
    EXPECT_FALSE(back.buttons[8].code.occupied());
    EXPECT_EQ(back.macros[0], m.macros[0]);
    EXPECT_EQ(back.macros[1], MacroRecord{});
}

TEST(DataFileFormat, newerVersionForeignCaseChangedAndShortenedHeadersAreRefused) {
    const RemoteModel m = fullModel();
    RemoteModel back;
    auto newer = encodeDataFile(m, FileVersion::of(1, 0, 1, 7));
    EXPECT_FALSE(readDataFile(newer, back));
    EXPECT_FALSE(readDataFile(encodeDataFile(m, FileVersion::of(1, 1, 0, 0)), back));
    RemoteModel accepted;
    EXPECT_TRUE(readDataFile(encodeDataFile(m, FileVersion::of(1, 0, 1, 5)), accepted));

    auto lower = encodeDataFile(m);
    ByteWriter(lower).u16(2, u'O');  // "VOrlane"
    EXPECT_FALSE(readDataFile(lower, back));

    auto fewerSpaces = encodeDataFile(m);
    ByteWriter(fewerSpaces).u16(98, 0);  // ten trailing spaces and a terminator
    EXPECT_FALSE(readDataFile(fewerSpaces, back));

    EXPECT_FALSE(readDataFile(std::vector<std::uint8_t>(50, 0), back));
    EXPECT_EQ(back.buttons, RemoteModel().buttons);  // refusals leave the model alone
}

TEST(DataFileFormat, truncatedFileLoadsWhatItHolds) {
    const RemoteModel m = fullModel();
    auto bytes = encodeDataFile(m);
    // Cut in the middle of slot 10's comment.
    bytes.resize(662 + 10 * 582 + 64 + 300);
    RemoteModel back;
    ASSERT_EQ(readDataFile(bytes, back), DataFileLayout::Current);
    for (std::size_t s = 0; s < 10; ++s)
        EXPECT_EQ(back.buttons[s], m.buttons[s]);
    EXPECT_EQ(back.buttons[10].code, m.buttons[10].code);
    EXPECT_EQ(back.buttons[10].text.sendText, m.buttons[10].text.sendText);
    EXPECT_FALSE(back.buttons[11].code.occupied());
    EXPECT_EQ(back.macros, RemoteModel().macros);

    // Cut inside the statistics: the missing minima stay at their reset value 0xFFFF.
    bytes.resize(112 + 520);
    RemoteModel early;
    ASSERT_TRUE(readDataFile(bytes, early));
    EXPECT_EQ(early.header.remoteName, m.header.remoteName);
    EXPECT_EQ(early.header.leaderHigh.max, m.header.leaderHigh.max);
    EXPECT_EQ(early.header.leaderHigh.min, 0xFFFF);
    EXPECT_EQ(early.header.high.min, 0xFFFF);
}

TEST(DataFileFormat, damagedValuesLoadBounded) {
    auto bytes = encodeDataFile(fullModel());
    ByteWriter w(bytes);
    const std::size_t slot = 662;
    w.u16(slot + 64, 900);  // keyCount far above 6
    for (std::size_t i = 0; i < 129; ++i)
        w.u16(slot + 64 + 2 + 2 * i, u'x');  // no terminator
    w.u16(slot + 42, kMacroMarker);
    w.u16(slot + 44, 200);  // macro index beyond the table
    RemoteModel back;
    ASSERT_TRUE(readDataFile(bytes, back));
    EXPECT_EQ(back.buttons[0].text.keyCount, 6);
    EXPECT_EQ(back.buttons[0].text.sendText.size(), 128u);  // what the field can hold written back
    EXPECT_FALSE(macroReference(back.buttons[0].code.keys));
    EXPECT_EQ(back.buttons[0].text.comment, fullModel().buttons[0].text.comment);
}

TEST_F(DataFileOnDisk, openMarksTheModelOpenedAndSaveMarksItSaved) {
    RemoteModel m = fullModel();
    const fs::path p = dir_ / "tv.ird";
    ASSERT_TRUE(saveDataFile(p, m).ok);
    EXPECT_FALSE(m.modified);
    EXPECT_TRUE(m.commands.save);

    RemoteModel back = modelWithButtons(3);
    back.modified = true;
    const OpenResult r = openDataFile(p, back);
    ASSERT_EQ(r.outcome, OpenOutcome::Loaded);
    EXPECT_FALSE(back.modified);
    EXPECT_EQ(back.shownName, m.header.remoteName);
    EXPECT_EQ(back.buttons, m.buttons);
    EXPECT_TRUE(back.commands.save && back.commands.saveAs && back.commands.editMacro &&
                back.commands.jitter);
    EXPECT_FALSE(back.commands.capture);  // slot 127 is occupied
}

TEST_F(DataFileOnDisk, refusedAndMissingFilesLeaveTheModelEmpty) {
    const fs::path refused = dir_ / "newer.ird";
    spit(refused, encodeDataFile(fullModel(), FileVersion::of(1, 0, 1, 7)));
    RemoteModel m = modelWithButtons(3);
    EXPECT_EQ(openDataFile(refused, m).outcome, OpenOutcome::Refused);
    EXPECT_EQ(m.occupiedCount(), 0u);

    m = modelWithButtons(3);
    const OpenResult missing = openDataFile(dir_ / "nope.ird", m);
    EXPECT_EQ(missing.outcome, OpenOutcome::IoError);
    EXPECT_FALSE(missing.error.empty());
    EXPECT_EQ(m.occupiedCount(), 0u);
}

TEST_F(DataFileOnDisk, saveKeepsTheTailOfALongerFileAndNeverShortensIt) {
    const fs::path p = dir_ / "long.ird";
    std::vector<std::uint8_t> old(130000, 0x5A);
    spit(p, old);
    RemoteModel m = fullModel();
    ASSERT_TRUE(saveDataFile(p, m).ok);
    const auto bytes = slurp(p);
    ASSERT_EQ(bytes.size(), 130000u);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 120178), encodeDataFile(m));
    EXPECT_EQ(bytes[120178], 0x5A);
    EXPECT_EQ(bytes.back(), 0x5A);
    EXPECT_FALSE(fs::exists(dir_ / "long.ird.saving"));
}

TEST_F(DataFileOnDisk, aFailedSaveLeavesTheOldFileUntouchedAndReportsWhy) {
    const fs::path p = dir_ / "keep.ird";
    const auto original = encodeDataFile(modelWithButtons(2));
    spit(p, original);
    fs::create_directory(dir_ / "keep.ird.saving");  // the new content cannot be written
    RemoteModel m = fullModel();
    m.modified = true;
    const SaveResult r = saveDataFile(p, m);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(slurp(p), original);
    EXPECT_TRUE(m.modified);

    EXPECT_FALSE(saveDataFile(dir_ / "no-such-dir" / "x.ird", m).ok);
}

}  // namespace
}  // namespace tessik
