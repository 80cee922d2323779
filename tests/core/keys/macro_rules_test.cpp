// The macro table: intervals, the registration and list dialogs' logic, and the deletes that
// close gaps in the table and repair the buttons' references.

#include <gtest/gtest.h>

#include <tuple>

#include "core/keys/macro_rules.hpp"
#include "support/model_builders.hpp"

namespace tessik {
namespace {

using test::macroNamed;
using test::modelWithButtons;
using test::referToMacro;

// `n` macros and a table whose first n buttons refer to them in order, each with a key count
// the repair must reset; the button after them refers to none.
RemoteModel macrosWithReferences(std::size_t n) {
    RemoteModel m = modelWithButtons(n + 1);
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t name[] = {u'M', static_cast<char16_t>(u'0' + i), 0};
        m.macros[i] = macroNamed(name, 1 + i % 8);
        referToMacro(m, i, i);
        m.buttons[i].text.keyCount = 4;
    }
    m.modified = false;
    return m;
}

// After macro d was deleted: the later macros moved down whole and the last slot is zero;
// buttons that referred to d lost keys and text (comment and code stay); references to later
// macros are one lower with key count 0 and their "[M name]" text unchanged; everything else
// is untouched.
void expectMacroDeleted(const RemoteModel& before, const RemoteModel& after, std::size_t d) {
    for (std::size_t m = 0; m < kMacroSlots; ++m) {
        const MacroRecord expected = m < d                 ? before.macros[m]
                                     : m + 1 < kMacroSlots ? before.macros[m + 1]
                                                           : MacroRecord{};
        EXPECT_EQ(after.macros[m], expected) << "macro " << m;
    }
    for (std::size_t b = 0; b < kButtonSlots; ++b) {
        ButtonRecord expected = before.buttons[b];
        const auto ref = macroReference(expected.code.keys);
        if (ref && *ref == d) {
            expected.code.keys = {};
            expected.text = {0, u"", expected.text.comment};
        } else if (ref && *ref > d) {
            --expected.code.keys[1];
            expected.text.keyCount = 0;
        }
        EXPECT_EQ(after.buttons[b], expected) << "button " << b;
    }
    EXPECT_TRUE(after.modified);
}

TEST(MacroDelete, deletingTheLastSlotOnlyClearsItAndAFakeMarkerIsNotAReference) {
    RemoteModel m = macrosWithReferences(10);
    m.buttons[10].code.keys = {0x02FF, 9, 0, 0, 0, 0};  // modifier bits: not the marker
    const RemoteModel before = m;
    m.DeleteMacro(9);
    expectMacroDeleted(before, m, 9);
    EXPECT_EQ(m.buttons[10], before.buttons[10]);
    EXPECT_FALSE(macroReference({0x02FF, 1, 0, 0, 0, 0}));
    EXPECT_FALSE(macroReference({kMacroMarker, 10, 0, 0, 0, 0}));  // out of the table
    EXPECT_EQ(macroReference({kMacroMarker, 3, 0, 0, 0, 0}), 3u);
}

TEST(MacroList, deletingTheSecondOfThreeRenumbersTheButtonsThatFollow) {
    RemoteModel model = macrosWithReferences(3);
    const RemoteModel before = model;
    MacroList list(model);
    ASSERT_EQ(list.rows().size(), 3u);
    EXPECT_EQ(std::tuple(list.editEnabled(), list.deleteEnabled(), list.editSlot()),
              std::tuple(false, false, std::nullopt));
    list.selectRow(1);  // row "No" 2
    EXPECT_EQ(list.editSlot(), 1u);
    ASSERT_TRUE(list.deleteSelectedMacro());
    // The former 0 and 2; the button of 0 untouched, that of 1 without keys, that of 2 now
    // referring to 1 with its text unchanged.
    expectMacroDeleted(before, model, 1);
    EXPECT_EQ(model.buttons[2].code.keys, (KeyCodeList{kMacroMarker, 1, 0, 0, 0, 0}));
    ASSERT_EQ(list.rows().size(), 2u);
    EXPECT_EQ(list.rows()[1].name, u"M2");
    EXPECT_FALSE(list.deleteEnabled());
}

TEST(MacroList, addFollowsTheLastSlotAndRowsShowTheStoredInterval) {
    RemoteModel model;
    for (std::size_t m = 0; m < 10; ++m)
        model.macros[m] = macroNamed(u"M", 2);
    model.macros[3].interval = 0;
    MacroList list(model);
    EXPECT_EQ(std::tuple(list.addEnabled(), list.addSlot()), std::tuple(false, std::nullopt));
    EXPECT_EQ(list.rows()[3].interval, 0) << "never closed in its dialog";
    EXPECT_EQ(std::tuple(list.rows()[3].commands[1], list.rows()[3].commands[2]),
              std::tuple(u"cmd1", u""));
    list.selectRow(9);
    list.deleteSelectedMacro();
    EXPECT_EQ(std::tuple(list.addEnabled(), list.addSlot()), std::tuple(true, 9u));
}

TEST(MacroCommands, countAndDeleteWithCompaction) {
    RemoteModel m;
    m.macros[0] = macroNamed(u"all", 8);
    m.macros[1] = macroNamed(u"four", 4);
    EXPECT_EQ(std::tuple(m.CountMacroCommands(0), m.macroCommandCount(0)), std::tuple(7u, 8u));
    EXPECT_EQ(std::tuple(m.CountMacroCommands(1), m.CountMacroCommands(2)), std::tuple(4u, 0u));

    const MacroRecord before = m.macros[1];
    m.DeleteMacroCommand(1, 1);  // row "No" 2
    MacroRecord expected = before;
    expected.commands = {before.commands[0], before.commands[2], before.commands[3]};
    EXPECT_EQ(m.macros[1], expected);
    EXPECT_EQ(m.macroCommandCount(1), 3u);
    EXPECT_TRUE(m.modified);
    EXPECT_EQ(m.firstFreeMacroSlot(), 2u);
}

TEST(MacroInterval, stepsOfExactlyTenWithinItsRange) {
    const std::tuple<int, int> shown[] = {{0, 500}, {750, 750}, {50, 100}, {65535, 30000}};
    for (const auto& [stored, expected] : shown)
        EXPECT_EQ(shownMacroInterval(static_cast<std::uint16_t>(stored)), expected) << stored;
    const std::tuple<int, int, int> steps[] = {
        {500, 1, 510},  {510, 1, 520},  {29995, 1, 30000},   {30000, 1, 30000},
        {110, -1, 100}, {100, -1, 100}, {100, 10000, 30000}, {30000, -10000, 100}};
    for (const auto& [from, by, to] : steps)
        EXPECT_EQ(stepMacroInterval(static_cast<std::uint16_t>(from), by), to) << from << by;
}

TEST(MacroRegistration, aNewMacroNeedsANameBeforeCommandsAndStaysUnusedWithoutOne) {
    RemoteModel model;
    model.macros[0] = macroNamed(u"first");
    model.modified = false;
    MacroRegistration r(model, 1);
    EXPECT_EQ(std::tuple(r.name(), r.interval(), r.rows().size(), r.addEnabled()),
              std::tuple(u"", 500, 0u, false));
    r.nameEdited(u"Evening");
    EXPECT_TRUE(r.addEnabled());
    r.nameEdited(u"");
    EXPECT_TRUE(r.addEnabled()) << "emptying the name does not disable Add";
    EXPECT_EQ(r.addCommand(), 0u);
    r.nameEdited(u"Evening");
    r.stepInterval(2);
    r.close();
    EXPECT_EQ(model.macros[1].used, 0) << "no command: not in use";
    EXPECT_EQ(std::tuple(model.macros[1].name, model.macros[1].interval),
              std::tuple(u"Evening", 520));
    EXPECT_TRUE(model.modified);
}

TEST(MacroRegistration, eightCommandsRefuseAddAndEditDeleteFollowTheSelection) {
    RemoteModel model;
    model.macros[0] = macroNamed(u"full", 8);
    MacroRegistration r(model, 0);
    ASSERT_EQ(r.rows().size(), 8u);
    EXPECT_EQ(std::tuple(r.name(), r.rows()[7].number, r.rows()[7].sendText),
              std::tuple(u"full", 8u, u"cmd7"));
    EXPECT_TRUE(r.addEnabled()) << "putting the name in enables Add";
    EXPECT_FALSE(r.addCommand()) << "the dialog shows its maximum notice";
    r.refreshCommandList();
    EXPECT_FALSE(r.addEnabled());

    EXPECT_EQ(std::tuple(r.editEnabled(), r.editCommand(), r.deleteSelectedCommand()),
              std::tuple(false, 0u, false));
    r.selectRow(8);  // past the rows: no selection
    EXPECT_FALSE(r.editEnabled());
    r.selectRow(2);
    EXPECT_EQ(std::tuple(r.editEnabled(), r.deleteEnabled(), r.editCommand()),
              std::tuple(true, true, 2u));

    model.modified = false;
    EXPECT_TRUE(r.deleteSelectedCommand());
    EXPECT_EQ(std::tuple(r.rows().size(), r.rows()[2].sendText, r.addEnabled(), r.selectedRow()),
              std::tuple(7u, u"cmd3", true, std::nullopt));
    EXPECT_TRUE(model.modified);

    model.modified = false;
    r.close();  // nothing changed
    EXPECT_FALSE(model.modified);
}

}  // namespace
}  // namespace tessik
