// The macro dialogs' logic, and deletes that close the table's gaps and repair references.

#include <gtest/gtest.h>

#include <tuple>

#include "core/keys/macro_rules.hpp"
#include "support/model_builders.hpp"

namespace tessik {
namespace {

using test::macroNamed;
using test::modelWithButtons;
using test::referToMacro;

TEST(MacroList, deletingTheSecondOfThreeMovesTheThirdDownAndRepairsTheReferences) {
    // Buttons 0..2 refer to macros 0..2, each with a key count the repair must reset; button 3
    // carries the marker with modifier bits, which makes it no reference.
    RemoteModel model = modelWithButtons(4);
    test::rewrite(model, [](RemoteTables& t) {
        for (std::size_t i = 0; i < 3; ++i) {
            t.macros[i] = macroNamed({u'M', static_cast<char16_t>(u'0' + i)}, 1 + i);
            referToMacro(t, i, i);
            t.buttons[i].text.keyCount = 4;
        }
        t.buttons[3].code.keys = {0x02FF, 2, 0, 0, 0, 0};
    });
    const RemoteTables before = model.tables();
    MacroList list(model);
    EXPECT_EQ(std::tuple(list.rows().size(), list.editEnabled(), list.editSlot()),
              std::tuple(3u, false, std::nullopt));
    list.selectRow(1);  // row "No" 2
    EXPECT_EQ(list.editSlot(), 1u);
    ASSERT_TRUE(list.deleteSelectedMacro());

    EXPECT_EQ(std::tuple(model.macros()[0], model.macros()[1], model.macros()[2], model.modified()),
              std::tuple(before.macros[0], before.macros[2], MacroRecord{}, true));
    // The reference to the deleted macro loses keys and text but keeps its comment; the one to
    // the third now names slot 1 with key count 0 and its "[M M2]" text unchanged.
    ButtonRecord lost = before.buttons[1], moved = before.buttons[2];
    lost.code.keys = {};
    lost.text = {0, u"", lost.text.comment};
    moved.code.keys[1] = 1;
    moved.text.keyCount = 0;
    EXPECT_EQ(
        std::tuple(model.buttons()[0], model.buttons()[1], model.buttons()[2], model.buttons()[3]),
        std::tuple(before.buttons[0], lost, moved, before.buttons[3]));
    ASSERT_EQ(list.rows().size(), 2u);
    EXPECT_EQ(std::tuple(list.rows()[1].name, list.deleteEnabled()), std::tuple(u"M2", false));
}

TEST(MacroList, addFollowsTheLastSlotWhichADeleteOnlyClearsAndRowsShowTheStoredInterval) {
    RemoteModel model;
    test::rewrite(model, [](RemoteTables& t) {
        for (std::size_t m = 0; m < 10; ++m)
            t.macros[m] = macroNamed(u"M", 2);
        t.macros[3].interval = 0;
    });
    const RemoteTables before = model.tables();
    MacroList list(model);
    EXPECT_EQ(std::tuple(list.addEnabled(), list.addSlot()), std::tuple(false, std::nullopt));
    EXPECT_EQ(std::tuple(list.rows()[3].interval, list.rows()[3].commands[1]),
              std::tuple(0, u"cmd1"))
        << "never closed in its dialog";
    list.selectRow(9);
    list.deleteSelectedMacro();
    EXPECT_EQ(std::tuple(model.macros()[8], model.macros()[9], list.addEnabled(), list.addSlot()),
              std::tuple(before.macros[8], MacroRecord{}, true, 9u));

    EXPECT_EQ(std::tuple(macroReference({kMacroMarker, 10, 0, 0, 0, 0}),
                         macroReference({kMacroMarker, 9, 0, 0, 0, 0})),
              std::tuple(std::nullopt, 9u));
}

TEST(MacroCommands, countAndDeleteWithCompaction) {
    RemoteModel m;
    test::rewrite(m, [](RemoteTables& t) {
        t.macros[0] = macroNamed(u"all", 8);
        t.macros[1] = macroNamed(u"four", 4);
    });
    EXPECT_EQ(std::tuple(m.CountMacroCommands(0), m.macroCommandCount(0)), std::tuple(7u, 8u));
    EXPECT_EQ(std::tuple(m.CountMacroCommands(1), m.CountMacroCommands(2)), std::tuple(4u, 0u));

    const MacroRecord before = m.macro(1);
    m.DeleteMacroCommand(1, 1);  // row "No" 2
    MacroRecord expected = before;
    expected.commands = {before.commands[0], before.commands[2], before.commands[3]};
    EXPECT_EQ(std::tuple(m.macro(1), m.macroCommandCount(1), m.modified()),
              std::tuple(expected, 3u, true));
    EXPECT_EQ(m.firstFreeMacroSlot(), 2u);
}

TEST(MacroInterval, stepsOfExactlyTenWithinItsRange) {
    const std::tuple<int, int> shown[] = {{0, 500}, {750, 750}, {50, 100}, {65535, 30000}};
    for (const auto& [stored, expected] : shown)
        EXPECT_EQ(shownMacroInterval(static_cast<std::uint16_t>(stored)), expected) << stored;
    const std::tuple<int, int, int> steps[] = {
        {500, 1, 510}, {29995, 1, 30000}, {110, -1, 100}, {100, 1000, 10100}, {30000, -9999, 100},
    };
    for (const auto& [from, by, to] : steps)
        EXPECT_EQ(stepMacroInterval(static_cast<std::uint16_t>(from), by), to) << from << by;
}

TEST(MacroRegistration, aNewMacroNeedsANameAndEightCommandsRefuseAdd) {
    RemoteModel model;
    test::rewrite(model, [](RemoteTables& t) { t.macros[0] = macroNamed(u"first"); });
    MacroRegistration r(model, 1);
    EXPECT_EQ(std::tuple(r.name(), r.interval(), r.rows().size(), r.addEnabled()),
              std::tuple(u"", 500, 0u, false));
    r.nameEdited(u"Evening");
    r.nameEdited(u"");
    EXPECT_TRUE(r.addEnabled()) << "emptying the name does not disable Add";
    EXPECT_EQ(r.addCommand(), 0u);
    r.nameEdited(u"Evening");
    r.stepInterval(2);
    r.close();
    EXPECT_EQ(std::tuple(model.macros()[1].used, model.macros()[1].name, model.macros()[1].interval,
                         model.modified()),
              std::tuple(0, u"Evening", 520, true))
        << "no command: not in use";

    // A full macro: eight commands refuse Add; Edit and Delete follow the selection.
    test::rewrite(model, [](RemoteTables& t) { t.macros[0] = macroNamed(u"full", 8); });
    MacroRegistration full(model, 0);
    ASSERT_EQ(full.rows().size(), 8u);
    EXPECT_EQ(std::tuple(full.name(), full.rows()[7].number, full.rows()[7].sendText),
              std::tuple(u"full", 8u, u"cmd7"));
    EXPECT_TRUE(full.addEnabled()) << "putting the name in enables Add";
    EXPECT_FALSE(full.addCommand()) << "the dialog shows its maximum notice";
    full.refreshCommandList();
    EXPECT_FALSE(full.addEnabled());

    full.selectRow(8);  // past the rows: no selection
    EXPECT_EQ(std::tuple(full.editEnabled(), full.editCommand(), full.deleteSelectedCommand()),
              std::tuple(false, 0u, false));
    full.selectRow(2);
    EXPECT_EQ(std::tuple(full.editEnabled(), full.deleteEnabled(), full.editCommand()),
              std::tuple(true, true, 2u));

    model.noteSaved();
    EXPECT_TRUE(full.deleteSelectedCommand());
    EXPECT_EQ(std::tuple(full.rows().size(), full.rows()[2].sendText, full.addEnabled(),
                         full.selectedRow(), model.modified()),
              std::tuple(7u, u"cmd3", true, std::nullopt, true));
    model.noteSaved();
    full.close();  // nothing changed
    EXPECT_FALSE(model.modified());
}

}  // namespace
}  // namespace tessik
