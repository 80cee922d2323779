#include <gtest/gtest.h>

#include "core/model/remote_model.hpp"
#include "support/model_builders.hpp"

namespace tessik {
namespace {

using test::macroNamed;
using test::modelWithButtons;
using test::necLikeCode;
using test::referToMacro;

TEST(RemoteHeader, emptyModelEncodesMinimaAsFFFFAndEverythingElseZero) {
    RemoteModel m;
    std::array<std::uint8_t, kRemoteHeaderSize> bytes{};
    encodeRemoteHeader(m.header, ByteWriter(bytes));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool minimum = i == 520 || i == 521 || i == 526 || i == 527 || i == 532 || i == 533 ||
                             i == 538 || i == 539 || i == 544 || i == 545;
        EXPECT_EQ(bytes[i], minimum ? 0xFF : 0x00) << "byte " << i;
    }
    EXPECT_EQ(m.jitterPercent, 10);
    EXPECT_FALSE(m.modified);
}

TEST(Records, encodeAndDecodeEveryFieldAtItsOffset) {
    CodeRecord c = necLikeCode(0x1122334455667788ull);
    c.reserved1 = 7;
    c.keys = {0x0204, 5, 6, 7, 8, 9};
    c.reserved54 = 0xBEEF;
    const auto bytes = encodeCodeRecord(c);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(ByteReader(bytes).u16(6), 9000);   // leaderLow
    EXPECT_EQ(ByteReader(bytes).u16(12), 1680);  // oneMin
    EXPECT_EQ(ByteReader(bytes).u16(40), 32);    // bitCount
    EXPECT_EQ(ByteReader(bytes).u16(42), 0x0204);
    EXPECT_EQ(ByteReader(bytes).u64(56), 0x1122334455667788ull);
    EXPECT_EQ(decodeCodeRecord(ByteReader(bytes)), c);

    MacroRecord m = macroNamed(u"Power on", 8);
    m.commands[7].comment = u"last";
    std::vector<std::uint8_t> mb(kMacroRecordSize);
    encodeMacroRecord(m, ByteWriter(mb));
    EXPECT_EQ(ByteReader(mb).u16(2), 500);
    EXPECT_EQ(ByteReader(mb).u16(4 + 2 * 7), 1);           // key count of command 8
    EXPECT_EQ(ByteReader(mb).u16(20 + 12 * 7), 0x1E + 7);  // its first key word
    EXPECT_EQ(ByteReader(mb).u16(116 + 258 * 7), u'c');    // its send text
    EXPECT_EQ(ByteReader(mb).u16(2180 + 258 * 7), u'l');   // its comment
    EXPECT_EQ(ByteReader(mb).u16(4244), u'P');             // the name
    EXPECT_EQ(decodeMacroRecord(ByteReader(mb)), m);
}

TEST(Records, keyCountsAboveSixAreBoundedOnDecode) {
    std::vector<std::uint8_t> bytes(kButtonTextSize, 0);
    ByteWriter(bytes).u16(0, 0xFFFF);
    EXPECT_EQ(decodeButtonText(ByteReader(bytes)).keyCount, 6);
}

TEST(AccumulateStatistics, firstCodeAfterResetSetsEveryGroupToItsValues) {
    RemoteModel m;
    const CodeRecord c = necLikeCode(0x55);
    m.AccumulateStatistics(c);
    EXPECT_EQ(m.header.leaderHigh, (TimingGroup{4500, 4500, 4500}));
    EXPECT_EQ(m.header.leaderLow, (TimingGroup{9000, 9000, 9000}));
    EXPECT_EQ(m.header.one, (TimingGroup{1690, 1680, 1685}));
    EXPECT_EQ(m.header.low, (TimingGroup{565, 555, 560}));
    EXPECT_EQ(m.header.high, (TimingGroup{570, 550, 560}));
    EXPECT_EQ(m.header.format, 1);
    EXPECT_EQ(m.header.pairCount, 34);
    EXPECT_EQ(m.header.bitCount, 32);
}

TEST(AccumulateStatistics, groupWithoutMembersGetsMid8000AndKeepsItsMinimum) {
    RemoteModel m;
    CodeRecord c = necLikeCode(0x55);
    c.oneMax = 0;
    c.oneMin = 0xFFFF;  // no one-bits at all
    c.bitCount = 0x1FF;
    m.AccumulateStatistics(c);
    EXPECT_EQ(m.header.one, (TimingGroup{0, 0xFFFF, 0x8000}));
    EXPECT_EQ(m.header.bitCount, 0xFF);  // low byte only

    // Statistics only widen.
    CodeRecord d = necLikeCode(0x56);
    d.leaderLow = 8000;
    d.oneMin = 1000;
    m.AccumulateStatistics(d);
    EXPECT_EQ(m.header.leaderLow, (TimingGroup{9000, 8000, 8500}));
    EXPECT_EQ(m.header.one, (TimingGroup{1690, 1000, 1345}));
}

TEST(AddCode, fillsFirstFreeSlotKeepsItsTextsAndSetsModifiedAndCommands) {
    RemoteModel m;
    m.startNew(u"TV");
    m.modified = false;
    EXPECT_EQ(m.commands, (CommandStates{false, false, true, false, false, false, false}));

    m.buttons[0].text.sendText = u"left over";
    const std::string longComment(200, 'x');
    EXPECT_EQ(m.AddCode(necLikeCode(0x10), std::u16string(200, u'x')), 0u);
    EXPECT_EQ(m.buttons[0].text.comment.size(), kMaxTextChars);
    EXPECT_EQ(m.buttons[0].text.sendText, u"left over");
    EXPECT_TRUE(m.modified);
    EXPECT_EQ(m.commands, (CommandStates{false, true, true, true, true, true, true}));
    EXPECT_EQ(m.AddCode(necLikeCode(0x11), u""), 1u);
}

TEST(AddCode, the128thCodeGreysCaptureAndAFullTableStoresNothing) {
    RemoteModel m = modelWithButtons(127);
    EXPECT_TRUE(m.commands.capture);
    EXPECT_EQ(m.AddCode(necLikeCode(0x9999), u"last"), 127u);
    EXPECT_FALSE(m.commands.capture);
    EXPECT_EQ(m.AddCode(necLikeCode(0x9998), u"too many"), kNoFreeSlot);
    EXPECT_TRUE(m.IsNewCode(necLikeCode(0x9998)));
    EXPECT_FALSE(m.IsNewCode(necLikeCode(0x9999)));  // equal to slot 127

    m.DeleteButton(5);
    EXPECT_TRUE(m.commands.capture);
    EXPECT_EQ(m.AddCode(necLikeCode(0x9998), u""), 127u);  // the freed slot at the end of the run
}

TEST(DeleteButton, deletingRowOneOfAFullTableShiftsEveryLaterButton) {
    RemoteModel m = modelWithButtons(128);
    const RemoteModel before = m;
    m.modified = false;
    m.DeleteButton(0);
    for (std::size_t k = 0; k < 127; ++k)
        EXPECT_EQ(m.buttons[k], before.buttons[k + 1]) << k;
    EXPECT_EQ(m.buttons[127], ButtonRecord{});
    EXPECT_EQ(m.occupiedCount(), 127u);
    EXPECT_TRUE(m.modified);
    // Statistics are not narrowed by a delete.
    EXPECT_EQ(m.header, before.header);
}

TEST(DeleteButton, deletingTheLastRowLeavesTheOthersAndDeletingNeverGreysSaveAs) {
    RemoteModel m = modelWithButtons(3);
    const RemoteModel before = m;
    m.DeleteButton(2);
    EXPECT_EQ(m.buttons[0], before.buttons[0]);
    EXPECT_EQ(m.buttons[1], before.buttons[1]);
    EXPECT_FALSE(m.buttons[2].code.occupied());
    m.DeleteButton(0);
    m.DeleteButton(0);
    EXPECT_EQ(m.occupiedCount(), 0u);
    EXPECT_TRUE(m.commands.saveAs);
    EXPECT_TRUE(m.commands.editMacro);
    EXPECT_TRUE(m.commands.jitter);
    EXPECT_FALSE(m.commands.deleteIr);
    EXPECT_FALSE(m.commands.setUp);
    EXPECT_TRUE(m.commands.capture);
}

TEST(DeleteMacro, deletingTwoOfFiveRenumbersLaterReferencesAndDropsItsOwn) {
    RemoteModel m = modelWithButtons(6);
    for (std::size_t i = 0; i < 5; ++i)
        m.macros[i] = macroNamed(u"M" + std::u16string(1, u'1' + i));
    for (std::size_t b = 0; b < 5; ++b)
        referToMacro(m, b, b);
    m.buttons[3].text.keyCount = 4;  // a count the repair must reset
    const RemoteModel before = m;
    m.modified = false;

    m.DeleteMacro(2);
    EXPECT_EQ(m.macros[0], before.macros[0]);
    EXPECT_EQ(m.macros[1], before.macros[1]);
    EXPECT_EQ(m.macros[2], before.macros[3]);
    EXPECT_EQ(m.macros[3], before.macros[4]);
    EXPECT_EQ(m.macros[4], MacroRecord{});
    EXPECT_EQ(m.buttons[0], before.buttons[0]);
    EXPECT_EQ(m.buttons[1], before.buttons[1]);
    EXPECT_EQ(m.buttons[2].code.keys, (KeyCodeList{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(m.buttons[2].text.keyCount, 0);
    EXPECT_EQ(m.buttons[2].text.sendText, u"");
    EXPECT_EQ(m.buttons[2].text.comment, before.buttons[2].text.comment);
    EXPECT_EQ(m.buttons[3].code.keys[1], 2);
    EXPECT_EQ(m.buttons[3].text.keyCount, 0);
    EXPECT_EQ(m.buttons[3].text.sendText, u"[M M4]");  // still names the same macro
    EXPECT_EQ(m.buttons[4].code.keys[1], 3);
    EXPECT_EQ(m.buttons[5], before.buttons[5]);  // no marker: untouched
    EXPECT_TRUE(m.modified);
}

TEST(DeleteMacro, deletingTheLastSlotOnlyClearsItAndAFakeMarkerIsNotAReference) {
    RemoteModel m = modelWithButtons(2);
    for (std::size_t i = 0; i < 10; ++i)
        m.macros[i] = macroNamed(u"M");
    m.buttons[0].code.keys = {0x02FF, 9, 0, 0, 0, 0};  // modifier bits: not the marker
    const RemoteModel before = m;
    m.DeleteMacro(9);
    EXPECT_EQ(m.macros[9], MacroRecord{});
    for (std::size_t i = 0; i < 9; ++i)
        EXPECT_EQ(m.macros[i], before.macros[i]);
    EXPECT_EQ(m.buttons[0], before.buttons[0]);
    EXPECT_FALSE(macroReference({0x02FF, 1, 0, 0, 0, 0}));
    EXPECT_FALSE(macroReference({kMacroMarker, 10, 0, 0, 0, 0}));  // out of the table
    EXPECT_EQ(macroReference({kMacroMarker, 3, 0, 0, 0, 0}), 3u);
}

TEST(MacroCommands, countAndDeleteWithCompaction) {
    RemoteModel m;
    m.macros[0] = macroNamed(u"all", 8);
    m.macros[1] = macroNamed(u"four", 4);
    EXPECT_EQ(m.CountMacroCommands(0), 7u);  // all eight filled
    EXPECT_EQ(m.macroCommandCount(0), 8u);
    EXPECT_EQ(m.CountMacroCommands(1), 4u);
    EXPECT_EQ(m.CountMacroCommands(2), 0u);

    const MacroRecord before = m.macros[1];
    m.DeleteMacroCommand(1, 1);  // row "No" 2
    EXPECT_EQ(m.macros[1].commands[0], before.commands[0]);
    EXPECT_EQ(m.macros[1].commands[1], before.commands[2]);
    EXPECT_EQ(m.macros[1].commands[2], before.commands[3]);
    EXPECT_EQ(m.macros[1].commands[7], MacroCommand{});
    EXPECT_EQ(m.macroCommandCount(1), 3u);
    EXPECT_TRUE(m.modified);
    EXPECT_EQ(m.firstFreeMacroSlot(), 2u);
}

TEST(CommandStates, followTheFileEvents) {
    RemoteModel m = modelWithButtons(2);
    EXPECT_FALSE(m.commands.save);
    m.noteSaved();
    EXPECT_TRUE(m.commands.save);
    EXPECT_FALSE(m.modified);
    m.ResetTables();
    EXPECT_EQ(m.commands, CommandStates{});
    m.noteOpened();  // an empty file opened
    EXPECT_EQ(m.commands, (CommandStates{true, true, true, false, false, true, true}));
}

}  // namespace
}  // namespace tessik
