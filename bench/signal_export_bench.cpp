// File > Export... of a full table: 128 buttons written to every format, each code read back
// as an import reads it before it is written. Target: under 5 ms for all four formats together.

#include <benchmark/benchmark.h>

#include "core/analysis/signal_export.hpp"
#include "core/ir/decoders.hpp"
#include "core/ir/ir_protocols.hpp"
#include "core/ir/raw_signals.hpp"

namespace {

// 128 buttons of an NEC remote as captured: 64 that the ".ir" format writes parsed, and 64 with
// a stretched leader that no protocol matches, written raw.
tessik::RemoteModel fullTable() {
    tessik::RemoteModel model;
    model.startNew(u"Full remote");
    for (std::uint32_t command = 0; command < tessik::kButtonSlots; ++command) {
        auto signal = *tessik::renderParsedSignal("NEC", 0x5E, command);
        if (command % 2 == 1) signal.durations[0] = 12000;
        const tessik::CaptureEntries e = tessik::entriesFromDurations(signal.durations);
        model.AddCode(tessik::decodeCapture(e.low, e.high),
                      u"Button " + std::u16string(1, u'A' + command % 26));
    }
    return model;
}

void BM_ExportFullTableToEveryFormat(benchmark::State& state) {
    const tessik::RemoteModel model = fullTable();
    for (auto _ : state) {
        for (const tessik::ExportFormatInfo& f : tessik::exportFormats()) {
            const tessik::SignalExport out =
                tessik::exportSignals(model, f.format, tessik::Language::English);
            if (!out.leftOut.empty()) state.SkipWithError("a button was left out");
            benchmark::DoNotOptimize(out.text.data());
        }
    }
}
BENCHMARK(BM_ExportFullTableToEveryFormat)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
