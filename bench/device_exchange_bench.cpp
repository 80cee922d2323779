// The tool's own cost of one command exchange (build the frame, set-feature, get-feature, judge
// the status, log) against a simulated receiver that answers at once.

#include <benchmark/benchmark.h>

#include "core/device/commands.hpp"
#include "core/device/log_sink.hpp"
#include "sim/simulated_receiver.hpp"

namespace {

struct Bench {
    Bench()
        : receiver(clock, options()),
          link(receiver.transport(), clock),
          commands(link, clock, log) {
        link.Open();
    }
    static tessik::sim::ReceiverOptions options() {
        tessik::sim::ReceiverOptions o;
        o.recordTraffic = false;
        return o;
    }
    tessik::FakeClock clock;
    tessik::sim::SimulatedReceiver receiver;
    tessik::NullLogSink log;
    tessik::CUsbhidioc link;
    tessik::DeviceCommands commands;
};

void BM_SetReturnCodeExchange(benchmark::State& state) {
    Bench b;
    tessik::CodeRecord code;
    code.codeBytes.fill(0x5A);
    code.keys = {0x0204, 0x0005, 0, 0, 0, 0};
    std::size_t slot = 0;
    for (auto _ : state) {
        const bool ok = b.commands.SetReturnCode(slot, code);
        benchmark::DoNotOptimize(ok);
        slot = (slot + 1) % tessik::kButtonSlots;
    }
}
BENCHMARK(BM_SetReturnCodeExchange)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_SetMacroExchange(benchmark::State& state) {
    Bench b;
    tessik::MacroRecord macro;
    macro.interval = 500;
    for (auto& c : macro.commands)
        c.keys = {0x0004, 0x0005, 0x0006, 0, 0, 0};
    for (auto _ : state) {
        const bool ok = b.commands.SetMacro(3, macro);
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_SetMacroExchange)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_GetVersionExchange(benchmark::State& state) {
    Bench b;
    tessik::VersionArea area{};
    for (auto _ : state) {
        const bool ok = b.commands.GetVersion(area);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(area.data());
    }
}
BENCHMARK(BM_GetVersionExchange)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace
