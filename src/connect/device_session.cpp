#include "connect/device_session.hpp"

#include <cerrno>
#include <system_error>

#include "core/device/trace_transport.hpp"
#include "core/text/format.hpp"
#include "core/text/path_text.hpp"
#include "hid/system_transport.hpp"
#include "sim/boot_loader.hpp"
#include "sim/simulated_receiver.hpp"

namespace tessik::connect {
namespace {

// The simulated receiver's bus costs nothing to look at; this machine's is looked at only where
// its own notifications cannot be had.
constexpr std::uint32_t kSimulatedWatchMs = 250;
constexpr std::uint32_t kFallbackWatchMs = 1000;

}  // namespace

std::unique_ptr<sim::SimulatedReceiver> makeSimulatedReceiver(Clock& clock,
                                                              const SessionOptions& options) {
    sim::ReceiverOptions receiverOptions;
    receiverOptions.stateFile = options.simStateFile;
    // Not recorded: a session of polling would only grow the record; the trace file is the
    // record where one is wanted.
    receiverOptions.recordTraffic = false;
    auto receiver = std::make_unique<sim::SimulatedReceiver>(clock, std::move(receiverOptions));
    // It takes a firmware update like a real one.
    sim::BootLoader::attach(*receiver, {.startInUpdateMode = options.simUpdateMode});
    return receiver;
}

std::unique_ptr<DeviceSession> DeviceSession::open(const SessionOptions& options,
                                                   std::string& error, SessionParts parts) {
    std::unique_ptr<DeviceSession> s(new DeviceSession());
    if (parts.clock != nullptr) {
        s->clock_ = parts.clock;
    } else {
        // The simulated receiver answers at once; its waits (retries, Save's two seconds) pass
        // in simulated time. Every tick read moves it on too, so a wait that polls for a
        // deadline (the firmware update's) ends.
        s->ownClock_ = options.simulate ? std::unique_ptr<Clock>(std::make_unique<FakeClock>(0, 1))
                                        : std::make_unique<SteadyClock>();
        s->clock_ = s->ownClock_.get();
    }

    if (parts.receiver != nullptr) {
        s->receiver_ = parts.receiver;
        s->bus_ = &parts.receiver->transport();
    } else if (parts.transport != nullptr) {
        s->bus_ = parts.transport;
    } else if (options.simulate) {
        if (const std::string why = stateFileProblem(options.simStateFile); !why.empty()) {
            error = escapeControlBytes(pathToUtf8(options.simStateFile)) + ": " + why;
            return nullptr;
        }
        s->ownReceiver_ = makeSimulatedReceiver(*s->clock_, options);
        for (const std::string& fault : options.simFaults) {
            if (!s->ownReceiver_->applyFault(fault, error)) return nullptr;
        }
        s->receiver_ = s->ownReceiver_.get();
        s->bus_ = &s->receiver_->transport();
    } else {
        s->system_ = hid::makeSystemTransport();
        s->bus_ = s->system_.get();
    }

    s->transport_ = s->bus_;
    if (!options.tracePath.empty()) {
        std::string why = traceFileProblem(options.tracePath);
        if (why.empty()) {
            errno = 0;
            // Binary: the same bytes on every system, line ends included.
            s->trace_.open(options.tracePath, std::ios::out | std::ios::trunc | std::ios::binary);
            if (!s->trace_) why = std::generic_category().message(errno != 0 ? errno : EIO);
        }
        if (!why.empty()) {
            error = "cannot write the trace file " +
                    escapeControlBytes(pathToUtf8(options.tracePath)) + ": " + why;
            return nullptr;
        }
        s->tracing_ = std::make_unique<TracingTransport>(*s->bus_, s->trace_);
        s->transport_ = s->tracing_.get();
    }
    s->link_ = std::make_unique<CUsbhidioc>(*s->transport_, *s->clock_);
    s->commands_ = std::make_unique<DeviceCommands>(*s->link_, *s->clock_,
                                                    parts.log != nullptr ? *parts.log : s->noLog_);
    return s;
}

DeviceSession::~DeviceSession() {
    if (link_) link_->Disconnect();
}

std::string DeviceSession::finish() {
    std::string traceError = tracing_ ? tracing_->writeError() : std::string();
    if (tracing_ && traceError.empty()) {
        errno = 0;
        trace_.close();
        if (trace_.fail()) traceError = std::generic_category().message(errno != 0 ? errno : EIO);
    }
    if (!traceError.empty())
        return "the trace file could not be written in full (" + traceError + ")";
    if (receiver_ != nullptr) {
        if (const std::string kept = receiver_->takeStateFileError(); !kept.empty()) {
            return "the simulated receiver could not keep its table: " + kept;
        }
    }
    return {};
}

std::unique_ptr<DeviceWatcher> DeviceSession::watch(std::string* why) {
    if (system_) {
        std::string reason;
        if (auto notices = hid::makeSystemWatcher(reason)) return notices;
        if (why != nullptr) *why = reason;
        return std::make_unique<EnumerationWatcher>(*system_, kFallbackWatchMs);
    }
    return std::make_unique<EnumerationWatcher>(*bus_, kSimulatedWatchMs);
}

}  // namespace tessik::connect
