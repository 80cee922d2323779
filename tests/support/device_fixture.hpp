#pragma once
// The link, the command senders and a simulated receiver on a fake clock, with every message
// box and log line kept for the test to compare.

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <system_error>
#include <vector>

#include "core/device/commands.hpp"
#include "core/device/device_outcome.hpp"
#include "core/device/log_sink.hpp"
#include "core/device/notifier.hpp"
#include "core/device/usbhidioc.hpp"
#include "sim/simulated_receiver.hpp"

namespace tessik {

// Readable message boxes in failure output.
inline void PrintTo(const Message& m, std::ostream* os) {
    *os << "Message{\"" << m.caption << "\", \"" << m.text << "\", " << static_cast<int>(m.kind)
        << ", \"" << m.action << "\"}";
}

}  // namespace tessik

namespace tessik::test {

using Bytes = std::vector<std::uint8_t>;

class RecordingNotifier : public Notifier {
  public:
    Answer show(const Message& message) override {
        messages.push_back(message);
        if (whileShown) whileShown(message);
        if (answers.empty()) return Answer::Ok;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::vector<Message> messages;
    std::deque<Answer> answers;                      // the next boxes' answers; then Ok
    std::function<void(const Message&)> whileShown;  // what happens while a box is up
};

inline Message errorBox(std::string_view text) {
    return Message{std::string(kErrorCaption), std::string(text), MessageKind::Warning};
}

// The window's box for a failed exchange without a platform text (not connected, NAK).
inline Message linkBox(DeviceError error) {
    return *deviceOutcomeBox(DeviceOutcome{error, {}}, Language::English);
}

// The platform's text for an error, as the link shows it.
inline std::string platformText(std::errc error) {
    return std::make_error_code(error).message();
}

// A whole report: `head` from byte 0, zeros behind it.
inline Bytes frame(std::initializer_list<std::uint8_t> head, std::size_t length = kFrameSize) {
    Bytes f(length, 0);
    std::copy(head.begin(), head.end(), f.begin());
    return f;
}

// The reports sent to the receiver (set-feature, accepted or not) since its traffic was cleared.
inline std::vector<Bytes> setReports(const sim::SimulatedReceiver& receiver) {
    std::vector<Bytes> out;
    for (const auto& t : receiver.traffic()) {
        if (t.direction == sim::Direction::Set) out.push_back(t.report);
    }
    return out;
}

// How many reports with this command code were sent.
inline std::size_t sentCount(const sim::SimulatedReceiver& receiver, CommandCode code) {
    std::size_t n = 0;
    for (const Bytes& r : setReports(receiver))
        n += r[4] == static_cast<std::uint8_t>(code) ? 1 : 0;
    return n;
}

// A receiver and the tool's side of the link to it; DeviceFixture for whole tests, DeviceRig
// where a test needs several.
struct DeviceRig {
    explicit DeviceRig(sim::ReceiverOptions options = {})
        : receiver(clock, std::move(options)),
          link(receiver.transport(), clock),
          commands(link, clock, log) {}

    std::vector<Bytes> sent() const { return setReports(receiver); }
    std::size_t count(sim::Direction direction, bool delivered) const {
        std::size_t n = 0;
        for (const auto& t : receiver.traffic())
            n += t.direction == direction && t.delivered == delivered ? 1 : 0;
        return n;
    }

    FakeClock clock;
    sim::SimulatedReceiver receiver;
    RecordingNotifier notifier;
    VectorLogSink log;
    CUsbhidioc link;
    DeviceCommands commands;
};

struct DeviceFixture : ::testing::Test, DeviceRig {
    explicit DeviceFixture(sim::ReceiverOptions options = {}) : DeviceRig(std::move(options)) {}
};

}  // namespace tessik::test
