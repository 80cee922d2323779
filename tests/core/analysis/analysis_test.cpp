// The timing analysis: which window pairs the receiver could confuse and from which jitter on,
// how far two presses spread, the jitter suggested for them, and the protocol of a code.

#include <algorithm>

#include <gtest/gtest.h>

#include "core/analysis/protocol.hpp"
#include "core/analysis/signal_trace.hpp"
#include "core/analysis/texts.hpp"
#include "core/analysis/tolerance.hpp"
#include "core/ir/decoders.hpp"
#include "core/procedures/set_up_data.hpp"
#include "sim/ir_signal.hpp"
#include "support/capture_fixture.hpp"

namespace tessik::test {
namespace {

// A header whose groups each hold one value, as one code of exact timings leaves it.
RemoteHeader exactHeader(std::uint8_t format, std::uint16_t leaderLow, std::uint16_t leaderHigh,
                         std::uint16_t one, std::uint16_t low, std::uint16_t high) {
    RemoteHeader h;
    h.format = format;
    h.leaderLow = {leaderLow, leaderLow, leaderLow};
    h.leaderHigh = {leaderHigh, leaderHigh, leaderHigh};
    h.one = {one, one, one};
    h.low = {low, low, low};
    h.high = {high, high, high};
    return h;
}

const RemoteHeader kNec = exactHeader(1, 9000, 4500, 1690, 560, 560);
// Pulse width: the one and the zero are bursts (1200, 600), every pause 600.
const RemoteHeader kSirc = exactHeader(2, 2400, 600, 1200, 600, 600);
const RemoteHeader kCramped = exactHeader(1, 9000, 4500, 1000, 560, 850);

CodeRecord decoded(const sim::IrSignal& s) {
    return decodeCapture(s.low, s.high);
}

TEST(Tolerance, overlapLimitsAndMarginsOnTheWindowsAsSent) {
    using P = WindowPair;
    const struct {
        const char* name;
        const RemoteHeader& header;
        std::int32_t jitter;
        std::optional<std::int32_t> limit;
        std::vector<PairMargin> margins;
    } cases[] = {
        // 1690 x 0.5 = 845 clears 560 x 1.5 = 840; 1690 x 0.49 = 828 does not clear 845. The
        // leader is told apart by its low period, 4500 against 840.
        {"NEC", kNec, 50, 50, {{P::OneZero, 5}, {P::LeaderOne, 3660}, {P::LeaderZero, 3660}}},
        {"NEC", kNec, 51, 50, {{P::OneZero, -17}, {P::LeaderOne, 3565}, {P::LeaderZero, 3565}}},
        // The pauses are all alike, so the leader stands apart by its burst alone.
        {"SIRC", kSirc, 34, 33, {{P::OneZero, -12}, {P::LeaderOne, -24}, {P::LeaderZero, 780}}},
        // A one only 15 % longer than a zero.
        {"cramped",
         kCramped,
         10,
         8,
         {{P::OneZero, -35}, {P::LeaderOne, 7484}, {P::LeaderZero, 7484}}},
        {"no codes", RemoteHeader{}, 10, 100, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " at " << c.jitter);
        EXPECT_EQ(overlapLimit(c.header), c.limit);
        EXPECT_EQ(pairMargins(c.header, c.jitter), c.margins);
    }
    RemoteHeader alike = kNec;
    alike.high = alike.one;  // a zero as long as the one: apart at no jitter
    EXPECT_EQ(overlapLimit(alike), std::nullopt);
}

TEST(Tolerance, theSuggestionCoversTheSpreadWithAMarginOrSaysWhyNoneWill) {
    using O = SuggestionOutcome;
    const struct {
        double spread;
        std::optional<std::int32_t> limit;
        JitterSuggestion expected;
    } cases[] = {
        {7.9, 50, {O::Suggested, 10}},    {0.5, 50, {O::Suggested, 5}},
        {18.0, 20, {O::Suggested, 20}},   {19.5, 50, {O::BeyondSlider, 22}},
        {12.0, 8, {O::WouldOverlap, 14}}, {3.0, std::nullopt, {O::WouldOverlap, 5}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(suggestJitter(c.spread, c.limit), c.expected) << c.spread;

    EXPECT_EQ(jitterVerdictText(kCramped, 5, 12.0, Language::English),
              "Overlap limit: 8%\nPresses vary by up to ±12.0%: it would take 14%, but the "
              "windows overlap above 8%.\nAt 5%: safe, 58 µs to spare between data one and data "
              "zero.");
    EXPECT_EQ(jitterVerdictText(kCramped, 10, std::nullopt, Language::Japanese),
              "重なり限界: 8%\n10% ではデータ1とデータ0の窓が重なります。");
}

TEST(ProtocolNames, theSimulatorsRemotesAndOtherFramesAreNamedByTheirFields) {
    const sim::IrSignal samsung = [] {
        sim::IrSignal s = sim::necSignal(0x07, 0x02);  // address 07 07 instead of 07 F8
        s.low[0] = 4500;
        for (int bit = 0; bit < 8; ++bit)
            s.high[9 + bit] = ((0x07 >> bit) & 1) != 0 ? 1690 : 560;
        return s;
    }();
    sim::IrSignal broken = sim::necSignal(0x5E, 0x08);
    broken.high[32] = 560;  // the command's inverse loses a one
    const struct {
        const char* name;
        sim::IrSignal signal;
        const char* text;
    } cases[] = {
        {"NEC TV", *sim::necTvRemote().signal("Power"), "NEC, address 0x5E, command 0x08"},
        {"Samsung", samsung, "Samsung, address 0x07, command 0x02"},
        {"broken NEC", broken, "pulse distance, 32 bits"},
        // The receiver never sees a SIRC frame's last bit, the address's highest.
        {"SIRC 15", sim::sircSignal(sim::SircBits::Fifteen, 0x15, 0x1A),
         "SIRC 15, address 0x1A or 0x9A, command 0x15"},
        {"SIRC 20", sim::sircSignal(sim::SircBits::Twenty, 0x15, 0x341),
         "SIRC 20, address 0x341 or 0x1341, command 0x15"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(protocolText(identifyProtocol(decoded(c.signal)), Language::English), c.text)
            << c.name;

    CodeRecord eightBits = decoded(sim::sircSignal(sim::SircBits::Twelve, 0x15, 1));
    eightBits.bitCount = 8;
    EXPECT_EQ(protocolText(identifyProtocol(eightBits), Language::English), "pulse width, 8 bits");
    EXPECT_EQ(
        protocolText(identifyProtocol(decoded(sim::necSignal(0x5E, 0x08))), Language::Japanese),
        "NEC、アドレス 0x5E、コマンド 0x08");
}

// A remote whose every period wanders by up to 8 %: two presses spread about that much, and the
// jitter suggested for it makes every later noisy press recognised.
TEST_F(CaptureFixture, noisyPressesAreMeasuredAndTheSuggestedJitterRecognisesThemAll) {
    const sim::VirtualRemote& tv = sim::necTvRemote();
    model.setJitter(kJitterMinPercent);
    std::uint32_t seed = 10;
    double widest = 0;
    for (const char* button : {"Vol+", "OK"}) {
        press(tv, button, sim::TimingNoise{8.0, seed++});
        press(tv, button, sim::TimingNoise{8.0, seed++});
        ASSERT_EQ(session.state(), CaptureState::Confirmed) << button;
        ASSERT_TRUE(session.pressSpread().has_value());
        const double spread = session.pressSpread()->widest();
        EXPECT_GT(spread, 5.0) << button;
        EXPECT_LT(spread, 9.0) << button;
        widest = std::max(widest, spread);
        session.next();
    }
    session.close();

    const JitterSuggestion s = suggestJitter(widest, overlapLimit(model.header()));
    ASSERT_EQ(s.outcome, SuggestionOutcome::Suggested);
    model.setJitter(s.jitter);  // at the slider's 5 %, some of these presses are lost
    ASSERT_EQ(runSetUpData(commands, model).outcome, SetUpOutcome::Succeeded);
    for (std::uint32_t n = 0; n < 40; ++n) {
        const char* button = n % 2 == 0 ? "Vol+" : "OK";
        clock.advance(2000);
        EXPECT_EQ(reception.press(tv, button, sim::TimingNoise{8.0, 100 + n}).heard,
                  sim::Heard::Typed)
            << button << " seed " << 100 + n;
    }
}

}  // namespace
}  // namespace tessik::test
