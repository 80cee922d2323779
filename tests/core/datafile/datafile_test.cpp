#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <utility>

#include "core/datafile/data_file.hpp"
#include "core/datafile/reader.hpp"
#include "core/datafile/writer.hpp"
#include "core/text/path_text.hpp"
#include "platform/durable_file.hpp"
#include "support/model_builders.hpp"
#include "support/temp_dir.hpp"
#ifdef _WIN32
#include "platform/windows/system_text.hpp"
#else
#include "support/unprivileged.hpp"
#endif

namespace tessik {
namespace {

namespace fs = std::filesystem;
using test::macroNamed;
using test::modelWithButtons;

RemoteTables fullTables() {
    RemoteTables t = modelWithButtons(128).tables();
    for (std::size_t i = 0; i < kMacroSlots; ++i)
        t.macros[i] = macroNamed(u"macro " + std::u16string(1, u'0' + i), 1 + i % 8);
    t.jitterPercent = 17;
    t.header.remoteName = u"赤外線 remote";
    return t;
}

std::vector<std::uint8_t> slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
void spit(const fs::path& p, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

class DataFileOnDisk : public ::testing::Test {
  protected:
    // The file names in a folder, hidden ones included.
    static std::set<std::string> names(const fs::path& folder) {
        std::set<std::string> out;
        for (const auto& entry : fs::directory_iterator(folder))
            out.insert(pathToUtf8(entry.path().filename()));
        return out;
    }
    void SetUp() override { fs::permissions(dir_, fs::perms(0755)); }  // open to nobody too

    test::TempDir tmp_;
    const fs::path& dir_ = tmp_.path();
    platform::DurableFileReplacer files_;
};

TEST(DataFileFormat, currentLayoutPlacesEveryPartAtItsOffsetAndReadsBackWhole) {
    const RemoteTables m = fullTables();
    const auto bytes = encodeDataFile(m);
    ASSERT_EQ(bytes.size(), 120178u);
    const ByteReader r(bytes);
    // The header text, the version (low word, then high word), the jitter, the remote name.
    EXPECT_EQ(std::tuple(r.u16(0), r.u16(98), r.u32(100), r.u32(104), r.i32(108), r.u16(112 + 2)),
              std::tuple(u'V', u' ', 0x10006u, 0x10000u, 17, u'赤'));
    // The first and the last slot's code value, the first macro's used flag, the last one's name.
    EXPECT_EQ(std::tuple(r.u64(662 + 56), r.u64(662 + 127 * 582 + 56), r.u8(75158),
                         r.u16(75158 + 9 * 4502 + 4244)),
              std::tuple(m.buttons[0].code.codeValue, m.buttons[127].code.codeValue, 1, u'm'));

    // A round trip restores every slot, macro, the jitter, the name and the statistics.
    RemoteTables back;
    ASSERT_EQ(readDataFile(bytes, back), DataFileLayout::Current);
    EXPECT_EQ(std::tuple(back.buttons, back.macros, back.header, back.jitterPercent),
              std::tuple(m.buttons, m.macros, m.header, 17));
    EXPECT_EQ(encodeDataFile(back), bytes);
}

// Files as the older versions wrote them: 1.0.1.3 (64 slots), 1.0.1.1 (64 slots of 56-byte code
// records, whose byte 1 and bytes 38..47 were never taken and hold 0x77 and 0x55 here) and the
// legacy file without a version field (8 slots, one macro). Each holds the same first slot, the
// code 0x63 in its last slot, jitter 17, the remote "Old TV", a first macro "Movie" and its
// last macro in use.
TEST(DataFileFormat, olderLayoutsLoadTheSlotsAndMacrosTheyHold) {
    ButtonRecord first{{}, {3, u"[LSHIFT]Abc", u"power"}};
    first.code.format = 1;
    first.code.leaderLow = 9000;
    for (std::size_t i = 0; i < 10; ++i)
        first.code.codeBytes[i] = static_cast<std::uint8_t>(0xA0 + i);
    first.code.bitCount = 32;
    first.code.keys = {0x0204, 5, 6, 0, 0, 0};
    first.code.codeValue = 0x7A7A85851010EFEF;
    MacroRecord movie{1, 0, 300, {}, u"Movie"};
    movie.commands[0] = {1, {0x28, 0, 0, 0, 0, 0}, u"[ENTER]", u""};
    const struct {
        const char* file;
        DataFileLayout layout;
        std::size_t slots, macros;
    } cases[] = {{"slots64.ird", DataFileLayout::Slots64, 64, 10},
                 {"old-records.ird", DataFileLayout::OldRecords, 64, 10},
                 {"legacy.ird", DataFileLayout::Legacy, 8, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        RemoteTables t;
        ASSERT_EQ(readDataFile(slurp(fs::path(TESSIK_TEST_DATA_DIR) / "ird" / c.file), t),
                  c.layout);
        const RemoteTables& m = t;
        const RemoteModel opened(t);
        EXPECT_EQ(std::tuple(m.jitterPercent, m.header.remoteName, m.header.format),
                  std::tuple(17, u"Old TV", 1));
        // The slot after the last would read the first macro, were the slots miscounted.
        EXPECT_EQ(std::tuple(m.buttons[0], m.buttons[c.slots - 1].code.codeValue,
                             m.buttons[c.slots], opened.occupiedCount()),
                  std::tuple(first, 0x63u, ButtonRecord{}, 2u));
        EXPECT_EQ(std::tuple(m.macros[0], m.macros[c.macros - 1].used), std::tuple(movie, 1));
    }
}

TEST(DataFileFormat, newerVersionsForeignHeadersAndCutFilesAreRefusedAndTheModelKept) {
    const RemoteTables m = fullTables();
    const auto whole = encodeDataFile(m);
    RemoteTables accepted;
    EXPECT_TRUE(readDataFile(encodeDataFile(m, FileVersion::of(1, 0, 1, 5)), accepted));

    std::vector<std::vector<std::uint8_t>> refused{encodeDataFile(m, FileVersion::of(1, 0, 1, 7)),
                                                   encodeDataFile(m, FileVersion::of(1, 1, 0, 0)),
                                                   std::vector<std::uint8_t>(50, 0)};
    // "VOrlane", and ten trailing spaces with a terminator instead of eleven.
    for (const auto& [offset, unit] : {std::pair<std::size_t, char16_t>{2, u'O'}, {98, 0}}) {
        refused.push_back(whole);
        ByteWriter(refused.back()).u16(offset, unit);
    }
    for (const std::size_t size : {std::size_t{100}, std::size_t{700}, whole.size() - 1})
        refused.emplace_back(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
    for (std::size_t i = 0; i < refused.size(); ++i) {
        RemoteTables back = m;
        EXPECT_FALSE(readDataFile(refused[i], back)) << i;
        EXPECT_EQ(std::tuple(back.header, back.buttons, back.macros, back.jitterPercent),
                  std::tuple(m.header, m.buttons, m.macros, m.jitterPercent))
            << i;
    }
}

TEST(DataFileFormat, damagedValuesLoadBounded) {
    auto bytes = encodeDataFile(fullTables());
    ByteWriter w(bytes);
    const std::size_t slot = 662;
    w.u16(slot + 64, 900);  // keyCount far above 6
    for (std::size_t i = 0; i < 129; ++i)
        w.u16(slot + 64 + 2 + 2 * i, u'x');  // no terminator
    w.u16(slot + 42, kMacroMarker);
    w.u16(slot + 44, 200);  // macro index beyond the table
    RemoteTables back;
    ASSERT_TRUE(readDataFile(bytes, back));
    // The send text: what the field can hold written back.
    EXPECT_EQ(std::tuple(back.buttons[0].text.keyCount, back.buttons[0].text.sendText.size(),
                         back.buttons[0].text.comment),
              std::tuple(6, 128u, fullTables().buttons[0].text.comment));
    EXPECT_FALSE(macroReference(back.buttons[0].code.keys));
}

TEST_F(DataFileOnDisk, openMarksTheModelOpenedSaveMarksItSavedAndAFailedOpenLeavesItEmpty) {
    RemoteModel m = modelWithButtons(128);
    ASSERT_TRUE(saveDataFile(dir_ / "tv.ird", m, files_).ok);
    EXPECT_EQ(std::tuple(m.modified(), m.commands().save), std::tuple(false, true));
    spit(dir_ / "newer.ird", encodeDataFile(m.tables(), FileVersion::of(1, 0, 1, 7)));
    const std::tuple<const char*, OpenOutcome> files[] = {{"tv.ird", OpenOutcome::Loaded},
                                                          {"newer.ird", OpenOutcome::Refused},
                                                          {"nope.ird", OpenOutcome::IoError}};
    for (const auto& [name, outcome] : files) {
        RemoteModel back = modelWithButtons(3);  // never saved: modified
        const OpenResult r = openDataFile(dir_ / name, back);
        const bool loaded = outcome == OpenOutcome::Loaded;
        // Loaded: every command but Capture, as slot 127 is occupied.
        EXPECT_EQ(
            std::tuple(r.outcome, r.error.empty(), back.modified(), back.button(0),
                       back.shownName(), back.commands()),
            std::tuple(outcome, outcome != OpenOutcome::IoError, false,
                       loaded ? m.button(0) : ButtonRecord{}, loaded ? m.header().remoteName : u"",
                       loaded ? CommandStates{true, true, false, true, true, true, true, false}
                              : CommandStates{.guidedSetUp = true}))
            << name;
    }
}

TEST_F(DataFileOnDisk, onlyRegularFilesAreReadBoundedAndOnlyTheyAreReplaced) {
#ifdef _WIN32
    // A name Windows keeps for a device, in any folder and with any extension.
    const fs::path device = dir_ / "nul.ird";
#else
    const fs::path device = dir_ / "pipe.ird";
    ASSERT_EQ(::mkfifo(device.c_str(), 0600), 0);
#endif
    const fs::path small = dir_ / "small.ird";
    spit(small, std::vector<std::uint8_t>(11, 1));
    std::vector<std::uint8_t> out;
    std::string error;
    // Neither waits on the device nor reads past the bound.
    EXPECT_EQ(std::tuple(readWholeFile(device, out, error), readWholeFile(small, out, error, 10),
                         readWholeFile(small, out, error, 11)),
              std::tuple(ReadOutcome::Failed, ReadOutcome::TooLarge, ReadOutcome::Read));

    RemoteModel m;
    EXPECT_EQ(saveDataFile(device, m, files_).error, "not a regular file");
#ifdef _WIN32
    EXPECT_EQ(names(dir_), (std::set<std::string>{"small.ird"}));
#else
    EXPECT_TRUE(fs::is_fifo(device));
    EXPECT_EQ(names(dir_), (std::set<std::string>{"pipe.ird", "small.ird"}));
#endif
}

TEST_F(DataFileOnDisk, aTableUnderJapaneseNamesIsSavedAndOpenedAgainPassingOverATakenName) {
    const fs::path folder = dir_ / pathFromUtf8("日本語の表");
    const fs::path file = folder / pathFromUtf8("居間のテレビ.ird");
    fs::create_directory(folder);
    const fs::path taken = platform::temporaryName(file, "taken");
    spit(taken, {1, 2, 3});
    platform::DurableFileReplacer files(
        [n = 0]() mutable { return n++ == 0 ? std::string("taken") : std::string("free"); });

    RemoteModel m(fullTables());
    ASSERT_TRUE(saveDataFile(file, m, files).ok);
    RemoteModel back;
    const OpenOutcome opened = openDataFile(file, back).outcome;
    EXPECT_EQ(std::tuple(opened, back.tables() == m.tables(), slurp(taken), names(folder)),
              std::tuple(OpenOutcome::Loaded, true, std::vector<std::uint8_t>{1, 2, 3},
                         std::set<std::string>{"居間のテレビ.ird", pathToUtf8(taken.filename())}));
}

#ifndef _WIN32
TEST_F(DataFileOnDisk, saveWritesThroughALinkPassesOverALinkAtItsTemporaryNameAndKeepsTheTail) {
    fs::create_directory(dir_ / "tables");
    const fs::path file = dir_ / "tables" / "tv.ird";
    spit(file, std::vector<std::uint8_t>(130000, 0x5A));  // longer than a table: never shortened
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(file, mode);
    const fs::path link = dir_ / "tv.ird";
    fs::create_symlink("tables/tv.ird", link);
    // Someone who foresaw the first temporary name has put a link there to a file of theirs.
    const fs::path victim = dir_ / "victim";
    spit(victim, {1, 2, 3});
    const fs::path planted = platform::temporaryName(file, "foreseen");
    fs::create_symlink(victim, planted);
    platform::DurableFileReplacer files(
        [n = 0]() mutable { return n++ == 0 ? std::string("foreseen") : std::string("free"); });

    RemoteModel m(fullTables());
    ASSERT_TRUE(saveDataFile(link, m, files).ok);
    auto expected = encodeDataFile(m.tables());
    expected.resize(130000, 0x5A);
    EXPECT_EQ(std::tuple(fs::read_symlink(link), slurp(file), fs::status(file).permissions()),
              std::tuple("tables/tv.ird", expected, mode));
    // The planted link is not ours to remove, nor its file to write.
    EXPECT_EQ(std::tuple(slurp(victim), fs::read_symlink(planted)),
              std::tuple(std::vector<std::uint8_t>{1, 2, 3}, victim));
    EXPECT_EQ(names(dir_ / "tables"), (std::set<std::string>{"tv.ird", planted.filename()}));
}

TEST_F(DataFileOnDisk, withoutWritePermissionSaveFailsAndAFolderThatCannotBeFlushedOnlyWarns) {
    const auto original = encodeDataFile(modelWithButtons(2).tables());
    const fs::path folder = dir_ / "read-only";
    const fs::path p = folder / "keep.ird";
    fs::create_directory(folder);
    spit(p, original);
    // Writable by all, so that the unprivileged saver gets as far as creating its temporary.
    fs::permissions(p, fs::perms(0666));
    fs::permissions(folder, fs::perms(0555));
    EXPECT_EXIT(test::asNobody([&] {
                    RemoteModel m = modelWithButtons(3);  // never saved: modified
                    const SaveResult r = saveDataFile(p, m, files_);
                    std::fprintf(stderr, "%s\n", r.error.c_str());
                    return !r.ok && m.modified();
                }),
                ::testing::ExitedWithCode(0), "^Permission denied\n$");
    EXPECT_EQ(std::tuple(slurp(p), names(folder)),
              std::tuple(original, std::set<std::string>{"keep.ird"}));

    // A folder this user may write but not read: the new file is in place, only the folder
    // cannot be opened to flush the rename. The save stands, with a warning.
    const fs::path writeOnly = dir_ / "write-only";
    fs::create_directory(writeOnly);
    fs::permissions(writeOnly, fs::perms(0333));
    EXPECT_EXIT(test::asNobody([&] {
                    RemoteModel m = modelWithButtons(3);
                    const SaveResult r = saveDataFile(writeOnly / "new.ird", m, files_);
                    return r.ok && !r.warning.empty() && !m.modified();
                }),
                ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(slurp(writeOnly / "new.ird"), encodeDataFile(modelWithButtons(3).tables()));
}

#else

// Windows refuses a read-only file and one that another program holds open without sharing
// (a handle of this process stands for it: Windows checks sharing per handle), to the owner and
// administrators alike; the save says the system's words and leaves the file as it was.
TEST_F(DataFileOnDisk, aReadOnlyFileOrOneHeldOpenByAnotherProgramIsRefusedAndKept) {
    const auto original = encodeDataFile(modelWithButtons(2).tables());
    const fs::path readOnly = dir_ / "read-only.ird";
    const fs::path held = dir_ / "held.ird";
    spit(readOnly, original);
    spit(held, original);
    fs::permissions(readOnly, fs::perms::owner_write, fs::perm_options::remove);
    const HANDLE holder = ::CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    const std::tuple<fs::path, std::string> cases[] = {
        {readOnly, platform::systemErrorText(ERROR_ACCESS_DENIED)},
        {held, platform::systemErrorText(ERROR_SHARING_VIOLATION)}};
    for (const auto& [file, error] : cases) {
        RemoteModel m = modelWithButtons(3);  // never saved: modified
        const SaveResult r = saveDataFile(file, m, files_);
        EXPECT_EQ(std::tuple(r.ok, r.error, m.modified()), std::tuple(false, error, true)) << file;
    }
    RemoteModel back;
    EXPECT_EQ(openDataFile(held, back).outcome, OpenOutcome::IoError);
    ::CloseHandle(holder);
    fs::permissions(readOnly, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(std::tuple(slurp(readOnly), slurp(held), names(dir_)),
              std::tuple(original, original, std::set<std::string>{"held.ird", "read-only.ird"}));
}

#endif

}  // namespace
}  // namespace tessik
