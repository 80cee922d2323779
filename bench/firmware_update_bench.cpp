// The tool's own time for a whole firmware update of a 1 MB image (4032 blocks written, the
// last 64 past the image buffer skipped): connect, unlock, erase, write, CRC check and start,
// against a simulated boot loader that answers at once. The pauses the procedure must make
// (10 ms per skipped block, the one-second looks for the restarted device) pass on a fake clock
// and cost nothing here.

#include <benchmark/benchmark.h>

#include <memory>

#include "core/firmware/image_file.hpp"
#include "core/firmware/update_procedure.hpp"
#include "sim/boot_loader.hpp"

namespace {

using namespace tessik;

class NullSink : public UpdateSink {
  public:
    void appendLog(std::string_view) override {}
    void setProgressRange(int, int) override {}
    void setProgress(int) override {}
    void repaintProgress() override {}
};

// A main window that found only the boot loader at start-up.
class WaitingHost : public UpdateHost {
  public:
    UfHeader runningFirmware() const override {
        UfHeader h;
        h.vid = kVendorId;
        h.pid = kProductIdUpdater;
        return h;
    }
    void handBack(std::uint16_t, std::uint16_t) override {}
};

// 0xFC000 bytes of varied content (no block all 0xFF), flash_size 1 MB, type 2, with its CRC.
ImageLoad loadLargestImage(ImageBuffer& buffer) {
    std::vector<std::uint8_t> file(kMaxImageFileSize);
    std::uint32_t state = 12345;
    for (auto& b : file) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(state >> 24);
    }
    UfHeader h;
    setUfMark(h, kUfMarkType2);
    setUfName(h, "IR receiver");
    h.flash_size = kMaxFlashSize;
    h.page_size = kRequiredPageSize;
    h.vid = kVendorId;
    h.pid = kProductIdNormal;
    encodeUfHeader(h, std::span(file).subspan(kUfHeaderFileOffset, kUfHeaderSize));
    return loadUpdateImage(file, "bench.bin", buffer);
}

sim::BootLoaderOptions zeroLatency() {
    sim::BootLoaderOptions o;
    o.startInUpdateMode = true;
    o.modeSwitchDelayMs = 0;
    o.startDelayMs = 0;
    o.eraseDurationMs = 0;
    o.blockWriteMs = 0;
    return o;
}

sim::ReceiverOptions quietReceiver() {
    sim::ReceiverOptions o;
    o.recordTraffic = false;
    return o;
}

void BM_FirmwareUpdateOfOneMegabyteImage(benchmark::State& state) {
    FakeClock clock(0, 1);
    sim::SimulatedReceiver receiver(clock, quietReceiver());
    sim::BootLoader::attach(receiver, zeroLatency());
    auto image = std::make_unique<ImageBuffer>();
    const ImageLoad load = loadLargestImage(*image);
    if (!load.updateEnabled) {
        state.SkipWithError("the image did not load");
        return;
    }
    CUpdaterLink link(receiver.transport(), clock);
    NullSink sink;
    WaitingHost host;
    FirmwareUpdate update(link, clock, sink, host);

    for (auto _ : state) {
        state.PauseTiming();
        receiver.setIdentity(sim::updateModeIdentity());  // waiting for the next update again
        state.ResumeTiming();
        const UpdateOutcome outcome = update.Update(*image, load.imageType).outcome;
        if (outcome != UpdateOutcome::Succeeded) {
            state.SkipWithError("the update failed");
            break;
        }
    }
    state.counters["blocks"] = static_cast<double>(kMaxFlashSize / kFlashBlockSize);
}
BENCHMARK(BM_FirmwareUpdateOfOneMegabyteImage)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
