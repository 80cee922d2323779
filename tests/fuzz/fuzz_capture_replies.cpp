// Whatever a receiver answers to the capture commands, the capture session reads nothing
// outside the reply, never loops without end, and stores only codes that decoded and were
// confirmed. A firmware in front of the simulated receiver answers each request with the next
// piece of the input; when the input runs out, the receiver answers normally.
//
// Input: byte 0 picks the feature report length; then pieces, each a length byte and that many
// bytes, copied into the reply from byte 1 on (3: status, 4: echo, 6..7: data length, 8..9:
// Start Capture count, periods from 10).

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <span>

#include "core/capture/capture_session.hpp"
#include "core/device/log_sink.hpp"
#include "sim/simulated_receiver.hpp"

namespace {

using namespace tessik;

class ScriptedFirmware : public sim::Firmware {
  public:
    explicit ScriptedFirmware(std::span<const std::uint8_t> script) : script_(script) {}
    sim::Handling onRequest(std::span<const std::uint8_t>, sim::Reply& reply) override {
        if (script_.empty()) return sim::Handling::NotMine;
        const std::size_t n = std::min<std::size_t>(script_[0], script_.size() - 1);
        std::copy_n(script_.begin() + 1, std::min(n, reply.frame.size() - 1),
                    reply.frame.begin() + 1);
        script_ = script_.subspan(1 + n);
        return sim::Handling::Answered;
    }

  private:
    std::span<const std::uint8_t> script_;
};

// The dialog and its message boxes, saying nothing.
struct QuietDialog : Notifier, CaptureView {
    Answer show(const Message&) override { return Answer::Ok; }
    void setPrompt(std::string_view) override {}
    void setResult(std::string_view) override {}
    void setAnalysis(std::string_view, std::string_view) override {}
    void setSignal(std::span<const SignalTrace>) override {}
    void setNextEnabled(bool) override {}
    void setComment(std::u16string_view) override {}
    void focusComment() override {}
    std::u16string comment() const override { return u"fuzz"; }
    void startTimer(std::uint32_t) override { polling = true; }
    void stopTimer() override { polling = false; }
    bool polling = false;
};

constexpr std::array<std::size_t, 8> kReportLengths{8, 9, 10, 11, 12, 64, 256, 512};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    FakeClock clock;
    sim::SimulatedReceiver receiver(
        clock, {.featureReportLength = kReportLengths[data[0] % kReportLengths.size()],
                .recordTraffic = false});
    receiver.addFirmware(std::make_shared<ScriptedFirmware>(std::span(data + 1, size - 1)));
    QuietDialog dialog;
    NullLogSink log;
    CUsbhidioc link(receiver.transport(), clock);
    DeviceCommands commands(link, clock, log);
    RemoteModel model;
    CaptureSession session(link, commands, log, model, dialog, dialog, Language::English);
    session.shown();
    for (int tick = 0; tick < 64 && dialog.polling; ++tick) {
        clock.advance(kCapturePollMs);
        session.timerFired();
        if (session.state() == CaptureState::Confirmed) session.next();
    }
    session.close();

    for (const auto& b : model.buttons()) {
        const CodeRecord& c = b.code;
        if (c.codeValue == kCodeTooLong || c.pairCount > 250) std::abort();
        if (c.codeValue != 0 && c.format != 1 && c.format != 2) std::abort();
    }
    return 0;
}
