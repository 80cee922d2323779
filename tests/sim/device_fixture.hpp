#pragma once
// The link, the command senders and a simulated receiver on a fake clock, with every message
// box and log line kept for the test to compare.

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include "core/device/commands.hpp"
#include "core/device/log_sink.hpp"
#include "core/device/notifier.hpp"
#include "core/device/usbhidioc.hpp"
#include "sim/simulated_receiver.hpp"

namespace tessik {

// Readable message boxes in failure output.
inline void PrintTo(const Message& m, std::ostream* os) {
    *os << "Message{\"" << m.caption << "\", \"" << m.text << "\", " << static_cast<int>(m.kind)
        << "}";
}

}  // namespace tessik

namespace tessik::test {

class RecordingNotifier : public Notifier {
  public:
    Answer show(const Message& message) override {
        messages.push_back(message);
        return Answer::Ok;
    }
    std::vector<Message> messages;
};

inline Message errorBox(std::string_view text) {
    return Message{std::string(kErrorCaption), std::string(text), MessageKind::Notice};
}

// A whole report: `head` from byte 0, zeros behind it.
inline std::vector<std::uint8_t> frame(std::initializer_list<std::uint8_t> head,
                                       std::size_t length = kFrameSize) {
    std::vector<std::uint8_t> f(length, 0);
    std::copy(head.begin(), head.end(), f.begin());
    return f;
}

struct DeviceFixture : ::testing::Test {
    explicit DeviceFixture(sim::ReceiverOptions options = {})
        : receiver(clock, std::move(options)),
          link(receiver.transport(), clock, notifier),
          commands(link, clock, log) {}

    // The reports sent (set-feature, accepted or not) since the last clearTraffic.
    std::vector<std::vector<std::uint8_t>> sent() const {
        std::vector<std::vector<std::uint8_t>> out;
        for (const auto& t : receiver.traffic()) {
            if (t.direction == sim::Direction::Set) out.push_back(t.report);
        }
        return out;
    }
    std::size_t count(sim::Direction direction, bool delivered) const {
        std::size_t n = 0;
        for (const auto& t : receiver.traffic()) {
            n += t.direction == direction && t.delivered == delivered ? 1 : 0;
        }
        return n;
    }

    FakeClock clock;
    sim::SimulatedReceiver receiver;
    RecordingNotifier notifier;
    VectorLogSink log;
    CUsbhidioc link;
    DeviceCommands commands;
};

}  // namespace tessik::test
