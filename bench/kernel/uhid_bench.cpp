// One command exchange with a receiver on the machine's HID stack (in the kernel test, the
// simulated receiver served by tessik-sim through uhid): through the tool's HidrawTransport and
// CUsbhidioc (Get Version: build the frame, set, get, judge the status), and as the bare pair of
// feature-report ioctls on the same node. Their ratio is the tool's overhead over the kernel's
// own cost.

#include <benchmark/benchmark.h>

#include <array>
#include <memory>

#include "core/device/commands.hpp"
#include "core/device/frame_layout.hpp"
#include "core/device/log_sink.hpp"
#include "hid/linux/hidraw_transport.hpp"

namespace {

using namespace tessik;

std::optional<HidDeviceInfo> receiverNode(hid::HidrawTransport& transport) {
    const auto found = transport.enumerate(kVendorId, kProductIdNormal);
    if (found.empty()) return std::nullopt;
    return found.front();
}

void BM_ToolGetVersion(benchmark::State& state) {
    hid::HidrawTransport transport;
    SteadyClock clock;
    NullLogSink log;
    CUsbhidioc link(transport, clock);
    DeviceCommands commands(link, clock, log);
    if (!receiverNode(transport) || !link.Open()) {
        state.SkipWithError("no receiver on the HID stack");
        return;
    }
    VersionArea area{};
    for (auto _ : state) {
        if (!commands.GetVersion(area)) state.SkipWithError("Get Version failed");
    }
}
BENCHMARK(BM_ToolGetVersion)->Unit(benchmark::kMicrosecond);

void BM_BareIoctls(benchmark::State& state) {
    hid::HidrawTransport transport;
    const auto node = receiverNode(transport);
    if (!node) {
        state.SkipWithError("no receiver on the HID stack");
        return;
    }
    hid::BareHidrawNode bare(node->path);
    std::array<std::uint8_t, kFrameSize> set{};
    std::array<std::uint8_t, kFrameSize> get{};
    set[kReportIdOffset] = kReportId;
    set[kFrameMarkOffset] = kNormalFrameMark;
    set[kCommandCodeOffset] = static_cast<std::uint8_t>(CommandCode::GetVersion);
    for (auto _ : state) {
        get[kReportIdOffset] = kReportId;
        if (!bare.roundTrip(set, get)) state.SkipWithError("the ioctls failed");
    }
}
BENCHMARK(BM_BareIoctls)->Unit(benchmark::kMicrosecond);

}  // namespace
