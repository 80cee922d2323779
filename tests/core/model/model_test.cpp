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
    std::array<std::uint8_t, kRemoteHeaderSize> header{};
    encodeRemoteHeader(RemoteHeader{}, ByteWriter(header));
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
    RemoteHeader h;
    AccumulateStatistics(h, necLikeCode(0x55));
    EXPECT_EQ(std::tuple(h.leaderHigh, h.one, h.high, h.format, h.pairCount, h.bitCount),
              std::tuple(TimingGroup{4500, 4500, 4500}, TimingGroup{1690, 1680, 1685},
                         TimingGroup{570, 550, 560}, 1, 34, 32));

    CodeRecord d = necLikeCode(0x56, 0x1FF);
    d.leaderLow = 8000;
    d.oneMin = 1000;
    AccumulateStatistics(h, d);
    EXPECT_EQ(std::tuple(h.leaderLow, h.one, h.bitCount),
              std::tuple(TimingGroup{9000, 8000, 8500}, TimingGroup{1690, 1000, 1345}, 0xFF));

    RemoteHeader empty;
    CodeRecord c = necLikeCode(0x55);
    c.oneMax = 0;
    c.oneMin = 0xFFFF;  // no one-bits at all
    AccumulateStatistics(empty, c);
    EXPECT_EQ(empty.one, (TimingGroup{0, 0xFFFF, 0x8000}));
}

TEST(TableRows, addFillsTheFirstFreeSlotDeleteMovesLaterOnesUpAndCommandsFollowTheRows) {
    RemoteModel m;
    EXPECT_EQ(m.commands(), CommandStates{.guidedSetUp = true});
    m.startNew(u"TV");
    EXPECT_EQ(
        std::tuple(m.commands(), m.modified()),
        std::tuple(CommandStates{false, false, true, false, false, false, false, true}, true));
    test::rewrite(m, [](RemoteTables& t) { t.buttons[0].text.sendText = u"left over"; });
    EXPECT_EQ(m.AddCode(necLikeCode(0x10), std::u16string(200, u'x')), 0u);
    EXPECT_EQ(std::tuple(m.button(0).text.comment.size(), m.button(0).text.sendText, m.modified()),
              std::tuple(kMaxTextChars, u"left over", true));
    EXPECT_EQ(m.commands(), (CommandStates{true, true, true, true, true, true, true, true}));

    m = modelWithButtons(127);
    EXPECT_EQ(m.AddCode(necLikeCode(0x9999), u"last"), 127u);
    EXPECT_EQ(std::tuple(m.commands().capture, m.commands().guidedSetUp), std::tuple(false, false));
    EXPECT_EQ(m.AddCode(necLikeCode(0x9998), u"too many"), kNoFreeSlot);
    EXPECT_EQ(std::tuple(m.IsNewCode(necLikeCode(0x9998)), m.IsNewCode(necLikeCode(0x9999))),
              std::tuple(true, false));
    m.DeleteButton(5);
    EXPECT_TRUE(m.commands().capture);
    EXPECT_EQ(m.AddCode(necLikeCode(0x9998), u""), 127u);  // the freed slot at the end of the run

    // A delete moves the later buttons up and keeps the statistics.
    m = modelWithButtons(128);
    m.noteSaved();
    const RemoteTables before = m.tables();
    m.DeleteButton(0);
    EXPECT_EQ(std::tuple(m.button(0), m.button(126), m.button(127), m.occupiedCount(), m.modified(),
                         m.header()),
              std::tuple(before.buttons[1], before.buttons[127], ButtonRecord{}, 127u, true,
                         before.header));

    m.DeleteButton(126);  // the last occupied row
    EXPECT_EQ(std::tuple(m.button(125), m.button(126).code.occupied()),
              std::tuple(before.buttons[126], false));
    while (m.occupiedCount() > 0)
        m.DeleteButton(0);
    // Save, Save as, Capture, Edit Macro and Jitter stay; Delete and Set Up go.
    EXPECT_EQ(m.commands(), (CommandStates{true, true, true, false, false, true, true, true}));
}

// The undo history as the window keeps it: each edit recorded once, with the model before and
// after it, and `modified` following the revision that was saved.
struct History : EditJournal {
    std::vector<RecordedEdit> edits;
    std::size_t done = 0;
    RemoteModel& model;
    explicit History(RemoteModel& m) : model(m) { m.setJournal(this); }
    ~History() override { model.setJournal(nullptr); }
    void recordEdit(RecordedEdit e) override {
        edits.resize(done);
        edits.push_back(std::move(e));
        done = edits.size();
    }
    void clearHistory() override { edits.clear(), done = 0; }
    void undo() { model.restore(*edits[--done].before); }
    void redo() { model.restore(*edits[done++].after); }
};

// Row 1 came from the wrong remote. Captured again it keeps what the user gave it, and the
// table's statistics are those of the codes it now holds: the old code's leader leaves the
// windows (the statistics otherwise only widen).
TEST(TableRows, recaptureReplacesOneCodeKeepsItsKeysAndTheStatisticsFollowTheCodesHeld) {
    CodeRecord sirc = necLikeCode(0x2000, 11);
    sirc.leaderLow = 2400;
    RemoteModel m;
    m.startNew(u"TV");
    m.AddCode(sirc, u"power");
    m.AddCode(necLikeCode(0x1001), u"mute");
    m.storeButtonKeys(0, {{0x66}, 1, u"[POWER]", u"power"});
    EXPECT_EQ(m.header().leaderLow.min, 2400);

    EXPECT_TRUE(m.recaptureCode(0, necLikeCode(0x1000), u"power button"));
    RemoteHeader expected;
    AccumulateStatistics(expected, necLikeCode(0x1001));
    AccumulateStatistics(expected, necLikeCode(0x1000));
    expected.remoteName = u"TV";
    EXPECT_EQ(std::tuple(m.button(0).code.codeValue, m.button(0).code.keys[0],
                         m.button(0).text.sendText, m.button(0).text.comment, m.header()),
              std::tuple(0x1000u, 0x66, u"[POWER]", u"power button", expected));

    // Refused: a code another row holds, a free row; its own code is no other row's.
    const RemoteTables before = m.tables();
    EXPECT_FALSE(m.recaptureCode(0, necLikeCode(0x1001), u""));
    EXPECT_FALSE(m.recaptureCode(2, necLikeCode(0x1002), u""));
    EXPECT_EQ(m.tables(), before);
    EXPECT_TRUE(m.recaptureCode(1, necLikeCode(0x1001), u"mute"));
}

TEST(UndoHistory, everyKindOfEditIsOneStepThatUndoesToTheTableBeforeIt) {
    RemoteModel m = modelWithButtons(3);
    test::rewrite(m, [](RemoteTables& t) {
        t.macros[0] = macroNamed(u"Movie", 2);
        t.macros[1] = macroNamed(u"Lights", 1);
        test::referToMacro(t, 1, 0);
        test::referToMacro(t, 2, 1);
    });
    History history(m);
    const std::function<void()> edits[] = {
        [&] { m.AddCode(necLikeCode(0x77, 32), u"new"); },
        [&] {
            m.addCodes({{necLikeCode(0x78), u"a"}, {necLikeCode(0x79), u"b"}});
        },
        [&] { m.DeleteButton(0); },
        [&] { m.recaptureCode(0, necLikeCode(0x90, 24), u"again"); },
        [&] {
            m.storeButtonKeys(0, {{0x04}, 1, u"a", u"keys"});
        },
        [&] {
            m.storeMacroCommand(1, 1, {1, {0x05}, u"b", u""});
        },
        [&] { m.DeleteMacroCommand(0, 0); },
        [&] { m.setMacroNameAndInterval(1, u"Lamps", 700); },
        [&] { m.DeleteMacro(0); },  // button 1 loses it, button 2's reference is renumbered
        [&] { m.setJitter(14); },
        [&] { m.rename(u"Kitchen"); },
    };
    std::vector<RemoteTables> states{m.tables()};
    for (const auto& edit : edits) {
        edit();
        states.push_back(m.tables());
    }
    ASSERT_EQ(history.edits.size(), std::size(edits));
    for (std::size_t i = std::size(edits); i-- > 0;) {
        history.undo();
        EXPECT_EQ(m.tables(), states[i]) << "undo " << i;
    }
    EXPECT_FALSE(m.modified()) << "undone back to the table as opened";
    for (std::size_t i = 1; i <= std::size(edits); ++i) {
        history.redo();
        EXPECT_EQ(m.tables(), states[i]) << "redo " << i;
    }

    // Saved in the middle: undoing to that point clears `modified`, undoing past it sets it.
    history.undo();
    m.noteSaved();
    history.undo();
    EXPECT_TRUE(m.modified());
    history.redo();
    EXPECT_FALSE(m.modified());

    // An edit that changes nothing is none; a group is one step; New clears the history.
    const std::size_t steps = history.done;
    m.setJitter(m.jitterPercent());
    m.storeButtonKeys(0, {m.button(0).code.keys, m.button(0).text.keyCount,
                          m.button(0).text.sendText, m.button(0).text.comment});
    {
        RemoteModel::EditGroup group(m, {EditKind::GuidedSetUp, 0});
        m.AddCode(necLikeCode(0x80), u"up");
        m.storeButtonKeys(m.occupiedCount() - 1, {{0x52}, 1, u"[UP]", u"up"});
        // Back to a mark inside the group: the statistics too are as they were there.
        const RemoteModel::EditGroup::Mark mark = group.mark();
        const RemoteTables marked = m.tables();
        CodeRecord wide = necLikeCode(0x82);
        wide.leaderLow = 9900;
        m.AddCode(wide, u"wrong button");
        group.rollBackTo(mark);
        EXPECT_EQ(m.tables(), marked);
    }
    EXPECT_EQ(history.done, steps + 1);
    {
        RemoteModel::EditGroup cancelled(m, {EditKind::GuidedSetUp, 0});
        m.AddCode(necLikeCode(0x81), u"down");
        cancelled.cancel();
    }
    EXPECT_EQ(std::tuple(history.done, m.IsNewCode(necLikeCode(0x81))),
              std::tuple(steps + 1, true));
    m.startNew(u"Other");
    EXPECT_EQ(history.edits.size(), 0u);

    // A cancelled group leaves a table that was never started as it was, commands included.
    RemoteModel fresh;
    {
        RemoteModel::EditGroup cancelled(fresh, {EditKind::GuidedSetUp, 0});
        fresh.rename(u"TV");
        const RemoteModel::EditGroup::Mark named = cancelled.mark();
        fresh.AddCode(necLikeCode(0x83), u"power");
        cancelled.rollBackTo(named);
        EXPECT_FALSE(fresh.commands().saveAs) << "no code was kept: nothing to save yet";
        fresh.AddCode(necLikeCode(0x84), u"power");
        cancelled.cancel();
    }
    EXPECT_EQ(std::tuple(fresh.tables(), fresh.commands(), fresh.modified()),
              std::tuple(RemoteModel().tables(), CommandStates{.guidedSetUp = true}, false));
}

}  // namespace
}  // namespace tessik
