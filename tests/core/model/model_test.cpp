#include <gtest/gtest.h>

#include <tuple>

#include "core/model/remote_model.hpp"
#include "support/model_builders.hpp"

namespace tessik {
namespace {

using test::macroNamed;
using test::modelWithButtons;
using test::necLikeCode;

TEST(Records, encodeAndDecodeEveryFieldAtItsOffset) {
    // An empty model's header: the minima 0xFFFF, everything else zero.
    RemoteModel m;
    std::array<std::uint8_t, kRemoteHeaderSize> header{};
    encodeRemoteHeader(m.header, ByteWriter(header));
    for (std::size_t i = 0; i < header.size(); ++i) {
        const bool minimum = i >= 520 && i < 548 && (i - 520) % 6 < 2;
        EXPECT_EQ(header[i], minimum ? 0xFF : 0x00) << "byte " << i;
    }

    CodeRecord c = necLikeCode(0x1122334455667788ull);
    c.reserved1 = 7;
    c.keys = {0x0204, 5, 6, 7, 8, 9};
    c.reserved54 = 0xBEEF;
    const auto bytes = encodeCodeRecord(c);
    const ByteReader r(bytes);
    // format, leaderLow, oneMin, bitCount, the first key word, codeValue
    EXPECT_EQ(std::tuple(r.u8(0), r.u16(6), r.u16(12), r.u16(40), r.u16(42), r.u64(56)),
              std::tuple(1, 9000, 1680, 32, 0x0204, 0x1122334455667788ull));
    EXPECT_EQ(decodeCodeRecord(r), c);

    MacroRecord macro = macroNamed(u"Power on", 8);
    macro.commands[7].comment = u"last";
    std::vector<std::uint8_t> mb(kMacroRecordSize);
    encodeMacroRecord(macro, ByteWriter(mb));
    const ByteReader mr(mb);
    // interval; command 8's key count, first key word, send text and comment; the name
    EXPECT_EQ(std::tuple(mr.u16(2), mr.u16(4 + 2 * 7), mr.u16(20 + 12 * 7), mr.u16(116 + 258 * 7),
                         mr.u16(2180 + 258 * 7), mr.u16(4244)),
              std::tuple(500, 1, 0x1E + 7, u'c', u'l', u'P'));
    EXPECT_EQ(decodeMacroRecord(mr), macro);
}

TEST(AccumulateStatistics, groupsOnlyWidenAroundATruncatedMidAndAnEmptyGroupGetsMid8000) {
    RemoteModel m;
    m.AccumulateStatistics(necLikeCode(0x55));
    const RemoteHeader& h = m.header;
    EXPECT_EQ(std::tuple(h.leaderHigh, h.one, h.high, h.format, h.pairCount, h.bitCount),
              std::tuple(TimingGroup{4500, 4500, 4500}, TimingGroup{1690, 1680, 1685},
                         TimingGroup{570, 550, 560}, 1, 34, 32));

    CodeRecord d = necLikeCode(0x56, 0x1FF);
    d.leaderLow = 8000;
    d.oneMin = 1000;
    m.AccumulateStatistics(d);
    EXPECT_EQ(std::tuple(h.leaderLow, h.one, h.bitCount),
              std::tuple(TimingGroup{9000, 8000, 8500}, TimingGroup{1690, 1000, 1345}, 0xFF));

    RemoteModel empty;
    CodeRecord c = necLikeCode(0x55);
    c.oneMax = 0;
    c.oneMin = 0xFFFF;  // no one-bits at all
    empty.AccumulateStatistics(c);
    EXPECT_EQ(empty.header.one, (TimingGroup{0, 0xFFFF, 0x8000}));
}

TEST(TableRows, addFillsTheFirstFreeSlotDeleteMovesLaterOnesUpAndCommandsFollowTheRows) {
    RemoteModel m;
    m.startNew(u"TV");
    m.modified = false;
    EXPECT_EQ(m.commands, (CommandStates{false, false, true, false, false, false, false}));
    m.buttons[0].text.sendText = u"left over";
    EXPECT_EQ(m.AddCode(necLikeCode(0x10), std::u16string(200, u'x')), 0u);
    EXPECT_EQ(std::tuple(m.buttons[0].text.comment.size(), m.buttons[0].text.sendText, m.modified),
              std::tuple(kMaxTextChars, u"left over", true));
    EXPECT_EQ(m.commands, (CommandStates{false, true, true, true, true, true, true}));

    m = modelWithButtons(127);
    EXPECT_EQ(m.AddCode(necLikeCode(0x9999), u"last"), 127u);
    EXPECT_FALSE(m.commands.capture);
    EXPECT_EQ(m.AddCode(necLikeCode(0x9998), u"too many"), kNoFreeSlot);
    EXPECT_EQ(std::tuple(m.IsNewCode(necLikeCode(0x9998)), m.IsNewCode(necLikeCode(0x9999))),
              std::tuple(true, false));
    m.DeleteButton(5);
    EXPECT_TRUE(m.commands.capture);
    EXPECT_EQ(m.AddCode(necLikeCode(0x9998), u""), 127u);  // the freed slot at the end of the run

    // A delete moves the later buttons up and keeps the statistics.
    m = modelWithButtons(128);
    const RemoteModel before = m;
    m.modified = false;
    m.DeleteButton(0);
    EXPECT_EQ(std::tuple(m.buttons[0], m.buttons[126], m.buttons[127], m.occupiedCount(),
                         m.modified, m.header),
              std::tuple(before.buttons[1], before.buttons[127], ButtonRecord{}, 127u, true,
                         before.header));

    m.DeleteButton(126);  // the last occupied row
    EXPECT_EQ(std::tuple(m.buttons[125], m.buttons[126].code.occupied()),
              std::tuple(before.buttons[126], false));
    while (m.occupiedCount() > 0)
        m.DeleteButton(0);
    // Save as, Capture, Edit Macro and Jitter stay; Delete and Set Up go.
    EXPECT_EQ(m.commands, (CommandStates{m.commands.save, true, true, false, false, true, true}));
}

}  // namespace
}  // namespace tessik
