// Undo and redo of a whole table: an import that filled all 128 rows taken back and done again
// is one step each, and the window's list follows through the model's change notice. The target
// is well under a millisecond a step.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/model/remote_model.hpp"

namespace {

struct Journal : tessik::EditJournal {
    std::vector<tessik::RecordedEdit> edits;
    void recordEdit(tessik::RecordedEdit e) override { edits.push_back(std::move(e)); }
    void clearHistory() override { edits.clear(); }
};

std::vector<tessik::NewCode> fullTable() {
    std::vector<tessik::NewCode> codes;
    for (std::uint64_t i = 0; i < tessik::kButtonSlots; ++i) {
        tessik::CodeRecord c;
        c.format = 1;
        c.leaderHigh = 9000;
        c.leaderLow = 4500;
        c.bitCount = 32;
        c.codeValue = 0x20DF0000 + i;
        codes.push_back({c, u"imported button " + std::u16string(1, u'A' + i % 26)});
    }
    return codes;
}

void BM_ImportOfAFullTable(benchmark::State& state) {
    const auto codes = fullTable();
    for (auto _ : state) {
        tessik::RemoteModel model;
        Journal journal;
        model.setJournal(&journal);
        model.startNew(u"TV");
        model.addCodes(codes);
        benchmark::DoNotOptimize(model.occupiedCount());
    }
}
BENCHMARK(BM_ImportOfAFullTable)->Unit(benchmark::kMicrosecond);

void BM_UndoAndRedoOfAFullTableImport(benchmark::State& state) {
    tessik::RemoteModel model;
    Journal journal;
    model.setJournal(&journal);
    model.startNew(u"TV");
    model.addCodes(fullTable());
    std::size_t notices = 0;
    const auto subscription = model.subscribe([&](const tessik::ModelChange&) { ++notices; });
    const tessik::RecordedEdit& edit = journal.edits.front();
    for (auto _ : state) {
        model.restore(*edit.before);
        model.restore(*edit.after);
    }
    benchmark::DoNotOptimize(notices);
    state.SetItemsProcessed(2 * static_cast<std::int64_t>(state.iterations()));  // steps
}
BENCHMARK(BM_UndoAndRedoOfAFullTableImport)->Unit(benchmark::kMicrosecond);

}  // namespace
