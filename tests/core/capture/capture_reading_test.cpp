// A fetched capture cut into presses. The sessions' tests send the presses in time; here, the
// captures a receiver can be left holding.

#include <gtest/gtest.h>

#include "core/capture/capture_reading.hpp"
#include "sim/remotes.hpp"

namespace tessik {
namespace {

using Kind = CapturePiece::Kind;

sim::IrSignal operator+(sim::IrSignal a, const sim::IrSignal& b) {
    a.low.insert(a.low.end(), b.low.begin(), b.low.end());
    a.high.insert(a.high.end(), b.high.begin(), b.high.end());
    return a;
}

sim::IrSignal firstEntries(sim::IrSignal s, std::size_t n) {
    s.low.resize(n);
    s.high.resize(n);
    return s;
}

TEST(CaptureReading, aCaptureIsCutIntoWholePressesRepeatsAndWhatHasNotEnded) {
    const sim::IrSignal press = *sim::necTvRemote().signal("Power");  // 34 entries
    const sim::IrSignal repeat = sim::necRepeatSignal();              // 2 entries
    sim::IrSignal held = press;  // the frame, then a repeat code 40 ms on, still arriving
    held.high.back() = 40000;
    held = held + firstEntries(repeat, 1);
    sim::IrSignal ten = firstEntries(press, 10);  // ten entries and the silence: no frame
    ten.high.back() = sim::kEndPause;
    sim::IrSignal scraps = press;
    scraps.low.insert(scraps.low.end(), 3, 0);  // entries without a burst: nothing recorded
    scraps.high.insert(scraps.high.end(), 3, 0);

    struct Case {
        const char* what;
        sim::IrSignal capture;
        std::size_t from;
        bool settled;
        std::vector<CapturePiece> pieces;
    };
    // clang-format off
    const Case cases[] = {
        {"two presses", press + press, 0, true, {{Kind::Press, 0, 34}, {Kind::Press, 34, 68}}},
        {"read from the second", press + press, 34, false, {{Kind::Press, 34, 68}}},
        {"a repeat code between them", press + repeat + press, 0, true,
         {{Kind::Press, 0, 34}, {Kind::Repeat, 34, 36}, {Kind::Press, 36, 70}}},
        {"ten entries", ten + press, 0, true, {{Kind::Repeat, 0, 10}, {Kind::Press, 10, 44}}},
        {"a press still arriving", press + firstEntries(press, 20), 0, false,
         {{Kind::Press, 0, 34}, {Kind::Unfinished, 34, 54}}},
        {"a press that stopped in its frame", press + firstEntries(press, 20), 0, true,
         {{Kind::Press, 0, 34}, {Kind::CutShort, 34, 54}}},
        {"a scrap after a press", press + firstEntries(press, 5), 0, true,
         {{Kind::Press, 0, 34}, {Kind::Repeat, 34, 39}}},
        {"a scrap alone", firstEntries(press, 5), 0, true, {{Kind::CutShort, 0, 5}}},
        {"held until the memory was full", held, 0, true, {{Kind::Press, 0, 35}}},
        {"held, still arriving", held, 0, false, {{Kind::Unfinished, 0, 35}}},
        {"its frame ended by the last pause", firstEntries(held, 34), 0, true,
         {{Kind::Press, 0, 34}}},
        {"announced beyond what was recorded", scraps, 0, true, {{Kind::Press, 0, 34}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(splitCapture(c.capture.low, c.capture.high, c.from, c.settled), c.pieces)
            << c.what;
    }
}

}  // namespace
}  // namespace tessik
