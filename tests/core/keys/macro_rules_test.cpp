#include <gtest/gtest.h>

#include "core/keys/macro_rules.hpp"
#include "support/model_builders.hpp"

namespace tessik {
namespace {

using test::macroNamed;
using test::modelWithButtons;
using test::referToMacro;

TEST(MacroInterval, stepsOfExactlyTenWithinItsRange) {
    EXPECT_EQ(shownMacroInterval(0), 500);
    EXPECT_EQ(shownMacroInterval(750), 750);
    EXPECT_EQ(shownMacroInterval(50), 100);
    EXPECT_EQ(shownMacroInterval(65535), 30000);
    EXPECT_EQ(stepMacroInterval(500, 1), 510);
    EXPECT_EQ(stepMacroInterval(510, 1), 520);
    EXPECT_EQ(stepMacroInterval(29995, 1), 30000);
    EXPECT_EQ(stepMacroInterval(30000, 1), 30000);
    EXPECT_EQ(stepMacroInterval(110, -1), 100);
    EXPECT_EQ(stepMacroInterval(100, -1), 100);
    EXPECT_EQ(stepMacroInterval(100, 10000), 30000);
    EXPECT_EQ(stepMacroInterval(30000, -10000), 100);
}

TEST(MacroRegistration, aNewMacroNeedsANameBeforeCommandsAndStaysUnusedWithoutOne) {
    RemoteModel model;
    model.macros[0] = macroNamed(u"first");
    model.modified = false;
    MacroRegistration r(model, 1);
    EXPECT_EQ(r.name(), u"");
    EXPECT_EQ(r.interval(), 500);
    EXPECT_TRUE(r.rows().empty());
    EXPECT_FALSE(r.addEnabled());
    r.nameEdited(u"Evening");
    EXPECT_TRUE(r.addEnabled());
    r.nameEdited(u"");
    EXPECT_TRUE(r.addEnabled()) << "emptying the name does not disable Add";
    EXPECT_EQ(r.addCommand(), 0u);
    r.nameEdited(u"Evening");
    r.stepInterval(2);
    r.close();
    EXPECT_EQ(model.macros[1].used, 0) << "no command: not in use";
    EXPECT_EQ(model.macros[1].name, u"Evening");
    EXPECT_EQ(model.macros[1].interval, 520);
    EXPECT_TRUE(model.modified);
}

TEST(MacroRegistration, eightCommandsRefuseAddAndEditDeleteFollowTheSelection) {
    RemoteModel model;
    model.macros[0] = macroNamed(u"full", 8);
    MacroRegistration r(model, 0);
    EXPECT_EQ(r.name(), u"full");
    ASSERT_EQ(r.rows().size(), 8u);
    EXPECT_EQ(r.rows()[7].number, 8u);
    EXPECT_EQ(r.rows()[7].sendText, u"cmd7");
    EXPECT_TRUE(r.addEnabled()) << "putting the name in enables Add";
    EXPECT_FALSE(r.addCommand()) << "the dialog shows its maximum notice";
    r.refreshCommandList();
    EXPECT_FALSE(r.addEnabled());

    EXPECT_FALSE(r.editEnabled());
    EXPECT_EQ(r.editCommand(), 0u);
    EXPECT_FALSE(r.deleteSelectedCommand());
    r.selectRow(8);  // past the rows: no selection
    EXPECT_FALSE(r.editEnabled());
    r.selectRow(2);
    EXPECT_TRUE(r.editEnabled());
    EXPECT_TRUE(r.deleteEnabled());
    EXPECT_EQ(r.editCommand(), 2u);

    model.modified = false;
    EXPECT_TRUE(r.deleteSelectedCommand());
    EXPECT_EQ(r.rows().size(), 7u);
    EXPECT_EQ(r.rows()[2].sendText, u"cmd3");
    EXPECT_TRUE(r.addEnabled());
    EXPECT_FALSE(r.selectedRow());
    EXPECT_TRUE(model.modified);

    model.modified = false;
    r.close();  // nothing changed
    EXPECT_FALSE(model.modified);
}

TEST(MacroList, deletingTheSecondOfThreeRenumbersTheButtonsThatFollow) {
    RemoteModel model = modelWithButtons(4);
    model.macros[0] = macroNamed(u"zero");
    model.macros[1] = macroNamed(u"one");
    model.macros[2] = macroNamed(u"two");
    for (std::size_t b = 0; b < 3; ++b)
        referToMacro(model, b, b);
    model.buttons[2].text.keyCount = 3;
    const RemoteModel before = model;

    MacroList list(model);
    ASSERT_EQ(list.rows().size(), 3u);
    EXPECT_FALSE(list.editEnabled());
    EXPECT_FALSE(list.deleteEnabled());
    EXPECT_FALSE(list.editSlot());
    list.selectRow(1);  // row "No" 2
    EXPECT_EQ(list.editSlot(), 1u);
    ASSERT_TRUE(list.deleteSelectedMacro());

    EXPECT_EQ(model.macros[0], before.macros[0]);
    EXPECT_EQ(model.macros[1], before.macros[2]);
    EXPECT_EQ(model.macros[2], MacroRecord{});
    EXPECT_EQ(model.buttons[0], before.buttons[0]);
    EXPECT_EQ(model.buttons[1].code.keys, KeyCodeList{});
    EXPECT_EQ(model.buttons[1].text.keyCount, 0);
    EXPECT_EQ(model.buttons[1].text.sendText, u"");
    EXPECT_EQ(model.buttons[1].text.comment, before.buttons[1].text.comment);
    EXPECT_EQ(model.buttons[2].code.keys, (KeyCodeList{kMacroMarker, 1, 0, 0, 0, 0}));
    EXPECT_EQ(model.buttons[2].text.keyCount, 0);
    EXPECT_EQ(model.buttons[2].text.sendText, u"[M two]");
    EXPECT_EQ(model.buttons[3], before.buttons[3]);
    EXPECT_TRUE(model.modified);

    ASSERT_EQ(list.rows().size(), 2u);
    EXPECT_EQ(list.rows()[1].name, u"two");
    EXPECT_FALSE(list.deleteEnabled());
}

TEST(MacroList, addFollowsTheLastSlotAndRowsShowTheStoredInterval) {
    RemoteModel model;
    for (std::size_t m = 0; m < 10; ++m)
        model.macros[m] = macroNamed(u"M", 2);
    model.macros[3].interval = 0;
    MacroList list(model);
    EXPECT_FALSE(list.addEnabled());
    EXPECT_FALSE(list.addSlot());
    EXPECT_EQ(list.rows()[3].interval, 0) << "never closed in its dialog";
    EXPECT_EQ(list.rows()[3].commands[1], u"cmd1");
    EXPECT_EQ(list.rows()[3].commands[2], u"");
    list.selectRow(9);
    list.deleteSelectedMacro();
    EXPECT_TRUE(list.addEnabled());
    EXPECT_EQ(list.addSlot(), 9u);
}

}  // namespace
}  // namespace tessik
