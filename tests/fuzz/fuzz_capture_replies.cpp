// Whatever a receiver answers to the capture commands, the capture session reads nothing
// outside the reply, never loops without end, and stores only codes that decoded and were
// confirmed. A firmware personality in front of the simulated receiver answers each request
// with the next piece of the input; when the input runs out, the receiver answers normally.
//
// Input: byte 0 picks the feature report length; then pieces, each a length byte and that many
// bytes, copied into the reply from byte 1 on (byte 3 is the status, 4 the echo, 6..7 the data
// length, 8..9 the Start Capture count, periods from 10).

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

#include "core/capture/capture_session.hpp"
#include "core/device/commands.hpp"
#include "core/device/log_sink.hpp"
#include "core/device/usbhidioc.hpp"
#include "sim/simulated_receiver.hpp"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

class ScriptedFirmware : public tessik::sim::Firmware {
  public:
    explicit ScriptedFirmware(std::span<const std::uint8_t> script) : script_(script) {}
    tessik::sim::Handling onRequest(std::span<const std::uint8_t>,
                                    tessik::sim::Reply& reply) override {
        if (script_.empty()) return tessik::sim::Handling::NotMine;
        const std::size_t n = std::min<std::size_t>(script_[0], script_.size() - 1);
        const auto piece = script_.subspan(1, n);
        std::copy_n(piece.begin(), std::min(n, reply.frame.size() - 1), reply.frame.begin() + 1);
        script_ = script_.subspan(1 + n);
        return tessik::sim::Handling::Answered;
    }

  private:
    std::span<const std::uint8_t> script_;
};

class QuietNotifier : public tessik::Notifier {
  public:
    tessik::Answer show(const tessik::Message&) override { return tessik::Answer::Ok; }
};

class View : public tessik::CaptureView {
  public:
    void setPrompt(std::string_view) override {}
    void setResult(std::string_view) override {}
    void setNextEnabled(bool) override {}
    void clearComment() override {}
    void focusComment() override {}
    std::u16string comment() const override { return u"fuzz"; }
    void startTimer(std::uint32_t) override { running = true; }
    void stopTimer() override { running = false; }
    bool running = false;
};

constexpr std::array<std::size_t, 8> kReportLengths{8, 9, 10, 11, 12, 64, 256, 512};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    tessik::FakeClock clock;
    tessik::sim::ReceiverOptions options;
    options.featureReportLength = kReportLengths[data[0] % kReportLengths.size()];
    options.recordTraffic = false;
    tessik::sim::SimulatedReceiver receiver(clock, options);
    receiver.addFirmware(
        std::make_shared<ScriptedFirmware>(std::span<const std::uint8_t>(data + 1, size - 1)));

    QuietNotifier notifier;
    tessik::NullLogSink log;
    tessik::CUsbhidioc link(receiver.transport(), clock, notifier);
    tessik::DeviceCommands commands(link, clock, log);
    tessik::RemoteModel model;
    View view;
    tessik::CaptureSession session(link, commands, log, model, view, notifier,
                                   tessik::Language::English);
    session.shown();
    for (int tick = 0; tick < 64 && view.running; ++tick) {
        clock.advance(tessik::kCapturePollMs);
        session.timerFired();
        if (session.state() == tessik::CaptureState::Confirmed) session.next();
    }
    session.close();

    for (const auto& b : model.buttons) {
        check(b.code.codeValue != tessik::kCodeTooLong);
        check(b.code.codeValue == 0 || b.code.format == 1 || b.code.format == 2);
        check(b.code.pairCount <= 250);
    }
    return 0;
}
