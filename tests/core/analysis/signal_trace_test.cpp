// The pulse train the signal view draws: a stored code rendered from its bytes and the table's
// timings is a recording the decoders read back as the same code, a capture is labelled as
// the decoders read it, and every period carries the window Set Ir Code sends for it.

#include <gtest/gtest.h>

#include "core/analysis/signal_trace.hpp"
#include "core/ir/decoders.hpp"
#include "core/model/remote_model.hpp"
#include "sim/ir_signal.hpp"

namespace tessik::test {
namespace {

std::vector<int> labelsOf(const SignalTrace& t) {  // -1 leader, 0/1 bits, 9 unanalysed
    std::vector<int> out;
    for (const TracePulse& p : t.pulses)
        out.push_back(p.role == PulseRole::Leader ? -1 : p.role == PulseRole::Bit ? p.one : 9);
    return out;
}

TEST(SignalTrace, aStoredCodeRendersToARecordingOfTheSameCodeWithTheWindowsAsSent) {
    const struct {
        const char* name;
        sim::IrSignal signal;
        std::size_t pulses;  // leader, bits, the entry that ends the recording
    } cases[] = {
        {"NEC", sim::necSignal(0x5E, 0x08), 34},
        {"SIRC 12, its last bit unseen", sim::sircSignal(sim::SircBits::Twelve, 0x15, 1), 13},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CodeRecord code = decodeCapture(c.signal.low, c.signal.high);
        RemoteHeader header;
        AccumulateStatistics(header, code);

        const SignalTrace rendered = codeTrace(code, header, 10);
        ASSERT_EQ(rendered.pulses.size(), c.pulses);
        std::vector<std::uint16_t> low, high;
        for (const TracePulse& pulse : rendered.pulses) {
            low.push_back(pulse.mark);
            high.push_back(pulse.space);
        }
        const CodeRecord back = decodeCapture(low, high);
        EXPECT_EQ(std::tuple(back.codeValue, back.bitCount, back.codeBytes, back.format),
                  std::tuple(code.codeValue, code.bitCount, code.codeBytes, code.format));

        // Both traces carry a window for each period the receiver analyses, and at the table's
        // own timings every period lies within the window it carries.
        const SignalTrace captured =
            captureTrace(c.signal.low, c.signal.high, timingWindows(header, 10));
        EXPECT_EQ(labelsOf(captured), labelsOf(rendered));
        for (const SignalTrace* t : {&rendered, &captured}) {
            for (const TracePulse& pulse : t->pulses) {
                const bool analysed = pulse.role != PulseRole::Unanalysed;
                EXPECT_EQ(std::pair(pulse.markWindow.has_value(), pulse.spaceWindow.has_value()),
                          std::pair(analysed, analysed));
                EXPECT_FALSE(pulse.markMisses() || pulse.spaceMisses());
            }
        }
    }
}

TEST(SignalTrace, anUndecodedCodeOrCaptureHasNothingToLabel) {
    EXPECT_TRUE(codeTrace(CodeRecord{}, RemoteHeader{}, 10).pulses.empty());
    const std::vector<std::uint16_t> low{9000, 560}, high{4500};  // a high period missing
    const SignalTrace t = captureTrace(low, high, TimingWindows{});
    EXPECT_EQ(labelsOf(t), (std::vector<int>{9, 9}));
    EXPECT_EQ(t.pulses[1].space, 0);
}

}  // namespace
}  // namespace tessik::test
