#pragma once
// The capture session in its dialog's place: a view that keeps what the session shows, the
// link and a simulated receiver on a fake clock, and remote buttons pressed in front of it.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "core/capture/capture_session.hpp"
#include "sim/ir_reception.hpp"
#include "sim/remotes.hpp"
#include "support/device_fixture.hpp"
#include "support/model_builders.hpp"

namespace tessik::test {

struct FakeCaptureView : CaptureView {
    void setPrompt(std::string_view text) override { prompt = text; }
    void setResult(std::string_view text) override { result = text; }
    void setAnalysis(std::string_view code, std::string_view warn) override {
        analysis = code;
        warning = warn;
    }
    void setSignal(std::span<const SignalTrace> shown) override {
        presses.assign(shown.begin(), shown.end());
    }
    void setNextEnabled(bool enabled) override { nextEnabled = enabled; }
    void setComment(std::u16string_view text) override { comment_ = text; }
    void focusComment() override { commentFocused = true; }
    std::u16string comment() const override { return comment_; }
    void startTimer(std::uint32_t ms) override { timerMs = ms; }
    void stopTimer() override { timerMs.reset(); }

    void type(std::u16string_view text) { comment_ = text; }

    std::string prompt;
    std::string result;
    std::string analysis;
    std::string warning;
    std::vector<SignalTrace> presses;
    bool nextEnabled = false;
    bool commentFocused = false;
    std::optional<std::uint32_t> timerMs;

  private:
    std::u16string comment_;
};

struct CaptureFixture : DeviceFixture {
    // With `recapture`, the session captures a new code for that row.
    explicit CaptureFixture(sim::ReceiverOptions options = {},
                            std::optional<std::size_t> recapture = std::nullopt)
        : DeviceFixture(std::move(options)),
          session(link, commands, log, model, view, notifier, Language::English, recapture),
          reception(receiver) {}

    // Capture Ir Data: the main window enters capture mode, then shows the dialog.
    void SetUp() override {
        ASSERT_TRUE(commands.CaptureMode(1));
        session.shown();
    }

    // The poll timer runs out once.
    void tick() {
        ASSERT_TRUE(view.timerMs.has_value()) << "the session is not polling";
        clock.advance(*view.timerMs);
        session.timerFired();
    }

    // Polls while the session polls, long enough for a press made now to be read: one poll
    // sees its count, the next sees it stand still.
    void pollUntilFetched(int maxTicks = 3) {
        for (int n = 0; n < maxTicks && view.timerMs; ++n)
            tick();
    }

    void press(const sim::VirtualRemote& remote, std::string_view button,
               std::optional<sim::TimingNoise> noise = std::nullopt) {
        ASSERT_EQ(reception.press(remote, button, noise).heard, sim::Heard::Captured);
        pollUntilFetched();
    }
    void pressNec(std::string_view button) { press(sim::necTvRemote(), button); }

    // A signal sent `atMs` after a sequence of presses begins.
    struct TimedPress {
        std::uint32_t atMs;
        sim::IrSignal signal;
    };

    // Sends the presses at their times while the session polls, 350 ms after each poll ended,
    // for `forMs` or until it stops polling. A press due while an exchange waits (a busy
    // receiver) is made then.
    void run(const std::vector<TimedPress>& presses, std::uint32_t forMs) {
        const std::uint32_t start = clock.now();
        std::size_t i = 0;
        const auto pressesDue = [&] {
            while (i < presses.size() && clock.now() - start >= presses[i].atMs)
                reception.receive(presses[i++].signal);
        };
        clock.onSleep = [&](std::uint32_t) { pressesDue(); };
        std::uint32_t nextPoll = start + kCapturePollMs;
        while (clock.now() - start < forMs) {
            const std::uint32_t due = i < presses.size() ? start + presses[i].atMs : nextPoll + 1;
            const bool polling = view.timerMs.has_value();
            if (!polling && i == presses.size()) break;
            const std::uint32_t until = polling ? std::min(due, nextPoll) : due;
            if (until > clock.now()) clock.advance(until - clock.now());
            if (until == due) {
                pressesDue();
            } else {
                session.timerFired();
                nextPoll = clock.now() + kCapturePollMs;
            }
        }
        clock.onSleep = nullptr;
    }

    // Both presses of a button, a comment, Next.
    void teach(std::string_view button, std::u16string_view comment) {
        pressNec(button);
        pressNec(button);
        ASSERT_EQ(session.state(), CaptureState::Confirmed) << button;
        view.type(comment);
        session.next();
    }

    // A recording that is complete at once, as a press would leave it.
    void load(const sim::IrSignal& signal) {
        receiver.capture().load(signal.low, signal.high);
        pollUntilFetched();
    }

    RemoteModel model;
    FakeCaptureView view;
    CaptureSession session;
    sim::IrReception reception;
};

}  // namespace tessik::test
