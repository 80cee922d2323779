// Remote-control buttons pressed in front of the simulated receiver: captured in capture mode,
// recognised and typed after Set Up Data.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>

#include "core/ir/decoders.hpp"
#include "core/procedures/set_up_data.hpp"
#include "sim/ir_reception.hpp"
#include "sim/remote_panel.hpp"
#include "sim/remotes.hpp"
#include "support/device_fixture.hpp"
#include "support/model_builders.hpp"

namespace tessik::test {
namespace {

using sim::Heard;
using sim::TypedKey;

constexpr std::uint32_t kT = sim::kKeyReportIntervalMs;

// A receiver that hears remotes, and the table it is programmed with.
struct ReceptionRig : DeviceRig {
    // Every button of `remote` into the table, slot i typing usage 0x04 + i, then Set Up Data.
    void program(const sim::VirtualRemote& remote) {
        std::uint16_t usage = 0x04;
        for (const sim::RemoteButton& b : remote.buttons) {
            const sim::IrSignal s = remote.signal(b);
            CodeRecord code = decodeCapture(s.low, s.high);
            code.keys[0] = usage++;
            ASSERT_NE(model.AddCode(code, u""), kNoFreeSlot);
        }
        setUp();
    }
    void setUp() { ASSERT_EQ(runSetUpData(commands, model).outcome, SetUpOutcome::Succeeded); }

    RemoteModel model;
    sim::IrReception reception{receiver};
};

struct Reception : ::testing::Test, ReceptionRig {
    sim::PressResult press(std::string_view button) {
        return reception.press(sim::necTvRemote(), button);
    }
};

// Captured presses are the capture session's tests; here, what a programmed receiver hears:
// only while plugged in, and only signals inside the windows widened by the jitter (10 %).
TEST_F(Reception, aPressIsHeardOnlyByAPluggedProgrammedReceiverWithinTheWidenedWindows) {
    EXPECT_EQ(press("Power").heard, Heard::NotRecognised);  // nothing programmed yet
    program(sim::necTvRemote());
    EXPECT_EQ(press("Teletext").heard, Heard::NoSuchButton);
    receiver.unplug();
    EXPECT_EQ(press("Power").heard, Heard::NotListening);
    receiver.plug();  // the saved table is back
    EXPECT_EQ(press("Power").heard, Heard::Typed);

    const sim::IrSignal power = *sim::necTvRemote().signal("Power");
    auto scaled = [this, &power](double factor) {
        sim::IrSignal s = power;
        for (auto* periods : {&s.low, &s.high}) {
            for (auto& p : *periods) {
                if (p != sim::kEndPause) p = static_cast<std::uint16_t>(p * factor);
            }
        }
        return reception.receive(s).heard;
    };
    // At 110 % every period sits on its window's maximum, which is still inside.
    for (const double inside : {1.10, 0.93})
        EXPECT_EQ(scaled(inside), Heard::Typed) << inside;
    for (const double outside : {1.15, 0.85})
        EXPECT_EQ(scaled(outside), Heard::NotRecognised) << outside;
}

// The television remote's presses, typed keys and times are the end-to-end capture test's;
// here, that the buttons of the pulse-width and the 48-bit formats are told apart as well.
TEST(EveryRemote, eachButtonTypesItsOwnSlot) {
    for (const sim::VirtualRemote* remote : sim::knownRemotes()) {
        SCOPED_TRACE(remote->name);
        ReceptionRig rig;
        rig.program(*remote);
        for (std::size_t i = 0; i < remote->buttons.size(); ++i) {
            const auto r = rig.reception.press(*remote, remote->buttons[i].name,
                                               sim::TimingNoise{4.0, std::uint32_t(i + 1)});
            ASSERT_EQ(r.heard, Heard::Typed) << remote->buttons[i].name;
            EXPECT_EQ(r.slot, i);
        }
    }
}

struct Typing : Reception {
    void SetUp() override {
        const sim::IrSignal s = *sim::necTvRemote().signal("1");
        model.AddCode(decodeCapture(s.low, s.high), u"");
    }
    // What one press types, timed from the press.
    std::vector<TypedKey> typedFor(KeyCodeList keys) {
        test::rewrite(model, [&](RemoteTables& t) { t.buttons[0].code.keys = keys; });
        setUp();
        const std::uint32_t at = clock.now();
        auto r = press("1");
        EXPECT_EQ(r.heard, Heard::Typed);
        for (TypedKey& k : r.keys)
            k.atMs -= at;
        return r.keys;
    }
};

// Taps of {usage, modifiers, when it goes down}; each key comes up one report later.
std::vector<TypedKey> taps(std::initializer_list<std::array<std::uint32_t, 3>> keys) {
    std::vector<TypedKey> out;
    for (const auto& [usage, mods, at] : keys) {
        out.push_back({std::uint8_t(usage), std::uint8_t(mods), true, at});
        out.push_back({std::uint8_t(usage), std::uint8_t(mods), false, at + kT});
    }
    return out;
}

// Keys, modifiers and a macro's interval are the end-to-end capture test's; here, where a key
// list and a macro stop, and the log line that says what a press did in the lists' notation.
TEST_F(Typing, keyListsAndMacrosAreTypedUpToTheirFirstEmptyEntryAndLogged) {
    test::rewrite(model, [](RemoteTables& t) {
        MacroRecord& m = t.macros[3];
        m.used = 1;  // its interval never set: the 500 ms the tool shows for it
        m.commands[0].keys = {0x0004, 0, 0, 0, 0, 0};
        m.commands[1].keys = {0x0105, 0x0006, 0, 0, 0, 0};
        m.commands[2].keys = {kMacroMarker, 1, 0, 0, 0, 0};  // not followed
        m.commands[3].keys = {0x0007, 0, 0, 0, 0, 0};
        m.commands[5].keys = {0x0008, 0, 0, 0, 0, 0};  // behind an empty command: never reached
    });
    const std::pair<KeyCodeList, std::vector<TypedKey>> cases[] = {
        {{0x0204, 0x003E, 0, 0x0005, 0, 0}, taps({{4, 2, 0}, {0x3E, 0, 2 * kT}})},
        // A modifier key pressed last in the editor stays behind the count and is tapped too.
        {{0x0006, 0x02E1, 0, 0, 0, 0}, taps({{6, 0, 0}, {0xE1, 2, 2 * kT}})},
        {{0x01FF, 3, 0, 0, 0, 0}, taps({{0xFF, 1, 0}, {3, 0, 2 * kT}})},  // no macro reference
        {{}, {}},  // recognised, nothing assigned
        {{kMacroMarker, 3, 0, 0, 0, 0}, taps({{4, 0, 0}, {5, 1, 510}, {6, 0, 530}, {7, 0, 1540}})},
    };
    for (const auto& [keys, typed] : cases)
        EXPECT_EQ(typedFor(keys), typed) << keys[0] << " " << keys[1];

    auto line = [this](std::string_view button) {
        const sim::PressResult r = press(button);
        return sim::pressLogLine(sim::necTvRemote(), button, r, receiver.table(),
                                 Language::English);
    };
    EXPECT_EQ(line("1"), "NEC TV 1: No 1, macro 4: A, after 500 ms: [LCTRL]BC, after 1000 ms: D");
    EXPECT_EQ(line("2"), "NEC TV 2: no button matched");
    typedFor({});
    EXPECT_EQ(line("1"), "NEC TV 1: No 1: types nothing");
    ASSERT_TRUE(commands.CaptureMode(1));
    EXPECT_EQ(line("Vol+"), "NEC TV Vol+: captured, 34 entries");
}

}  // namespace
}  // namespace tessik::test
