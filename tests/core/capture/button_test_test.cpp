// Test Buttons: each press looked up in the table, told in a line, its row shown, while the
// receiver types nothing.

#include <gtest/gtest.h>

#include <tuple>

#include "core/capture/button_test.hpp"
#include "core/capture/texts.hpp"
#include "core/ir/decoders.hpp"
#include "sim/ir_reception.hpp"
#include "support/device_fixture.hpp"
#include "support/model_builders.hpp"

namespace tessik::test {
namespace {

CodeRecord decoded(const sim::IrSignal& s) {
    return decodeCapture(s.low, s.high);
}

sim::IrSignal nec(std::string_view button) {
    return *sim::necTvRemote().signal(button);
}

// Power types [UP], Mute runs macro 2, OK types nothing.
RemoteModel tvTable() {
    RemoteModel m;
    m.startNew(u"TV");
    m.AddCode(decoded(nec("Power")), u"Up");
    m.AddCode(decoded(nec("Mute")), u"Movie");
    m.AddCode(decoded(nec("OK")), u"");
    m.storeButtonKeys(0, {{0x52}, 1, u"[UP]", u"Up"});
    rewrite(m, [](RemoteTables& t) {
        t.macros[0] = macroNamed(u"Lights");
        t.macros[1] = macroNamed(u"Movie night");
        referToMacro(t, 1, 1);
    });
    return m;
}

TEST(ButtonTest, aPressIsItsRowOrWhyTheTableHasNone) {
    const RemoteModel table = tvTable();
    // A code no protocol names: only the timings tell whether it is this remote's.
    CodeRecord unnamed = necLikeCode(0x12345678);
    CodeRecord otherLeader = unnamed;
    otherLeader.leaderLow = 4000;
    struct Case {
        CodeRecord press;
        PressLookup lookup;
        std::string line;
    };
    using V = PressLookup::Verdict;
    const Case cases[] = {
        {decoded(nec("Power")), {V::Found, 0, 0}, "No 1 Up: types [UP]"},
        {decoded(nec("Mute")), {V::Found, 1, 0}, "No 2 Movie: macro 2 (Movie night)"},
        {decoded(nec("OK")), {V::Found, 2, 0}, "No 3: types nothing"},
        {decoded(nec("Vol+")), {V::NotInTable, 0, 32}, "0x7A7A85853838C7C7: not in this table"},
        {unnamed, {V::NotInTable, 0, 32}, "0x12345678: not in this table"},
        {decoded(*sim::sircTvRemote().signal("Vol+")),
         {V::OtherLength, 0, 32},
         "0x4900: not in this table (a different length: 11 bits, the table's codes have 32)"},
        {decoded(sim::necSignal(0x10, 0x08)),
         {V::OtherRemote, 0, 32},
         "0x808F7F71010EFEF: not in this table (another remote: NEC, address 0x10, command 0x08)"},
        {otherLeader,
         {V::OtherRemote, 0, 32},
         "0x12345678: not in this table (another remote: pulse distance, 32 bits)"},
    };
    for (const Case& c : cases) {
        const PressLookup lookup = lookUpPress(table, c.press);
        EXPECT_EQ(std::tuple(lookup, pressLookupText(table, c.press, lookup, Language::English)),
                  std::tuple(c.lookup, c.line));
    }
    EXPECT_EQ(lookUpPress(RemoteModel{}, decoded(nec("Power"))).verdict, V::NotInTable);
}

struct FakeTestView : ButtonTestView {
    void setPrompt(std::string_view text) override { prompt = text; }
    void addLine(std::string_view text) override { lines.emplace_back(text); }
    void showRow(std::size_t slot) override { row = slot; }
    void startTimer(std::uint32_t) override { polling = true; }
    void stopTimer() override { polling = false; }
    std::string prompt;
    std::vector<std::string> lines;
    std::optional<std::size_t> row;
    bool polling = false;
};

struct ButtonTestSessionTest : DeviceFixture {
    ButtonTestSessionTest()
        : session(link, commands, log, model, view, notifier, Language::English) {
        EXPECT_TRUE(commands.CaptureMode(1));
        session.shown();
    }
    void poll(int times) {
        for (int n = 0; n < times && view.polling; ++n) {
            clock.advance(kCapturePollMs);
            session.timerFired();
        }
    }
    RemoteModel model = tvTable();
    FakeTestView view;
    ButtonTestSession session;
    sim::IrReception reception{receiver};
};

TEST_F(ButtonTestSessionTest, eachPressShowsItsRowAndTheReceiverTypesNothing) {
    EXPECT_EQ(view.prompt, captureText(CaptureText::TestPrompt, Language::English));
    reception.press(sim::necTvRemote(), "Mute");
    reception.press(sim::necTvRemote(), "Vol+");
    poll(3);
    EXPECT_EQ(std::tuple(view.lines, view.row, reception.typed().empty(), view.polling),
              std::tuple(std::vector<std::string>{"No 2 Movie: macro 2 (Movie night)",
                                                  "0x7A7A85853838C7C7: not in this table"},
                         std::optional<std::size_t>(1), true, true));
    session.close();
    EXPECT_EQ(std::tuple(receiver.captureMode(), view.polling), std::tuple(false, false));
}

TEST_F(ButtonTestSessionTest, aReceiverThatLeavesEndsTheTestWithOneMessage) {
    receiver.unplug();
    poll(2);
    session.deviceLeft();
    session.close();
    EXPECT_EQ(std::tuple(notifier.messages.size(), view.prompt, view.polling),
              std::tuple(1u, std::string(captureText(CaptureText::TestPlugIn, Language::English)),
                         false));
}

}  // namespace
}  // namespace tessik::test
