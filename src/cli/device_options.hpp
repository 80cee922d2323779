#pragma once
// The device options every command that talks to the receiver shares:
//   --simulate            an in-process simulated receiver instead of this machine's devices
//   --trace FILE          every feature-report transfer written to FILE
//   --sim-fault NAME[=N]  a fault of the simulated receiver (repeatable)
//   --sim-state FILE      where the simulated receiver keeps its saved table between runs
//   --sim-update-mode     the simulated receiver starts in its boot loader, waiting for an update
// and the pieces built from them: the transport, its clock, the message boxes on a terminal.

#include <filesystem>
#include <fstream>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli.hpp"
#include "connect/device_transport.hpp"
#include "core/device/clock.hpp"
#include "core/device/hid_transport.hpp"
#include "core/device/notifier.hpp"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace tessik {
class TracingTransport;
}

namespace tessik::cli {

struct DeviceOptions {
    connect::TransportOptions transport;  // --simulate and the --sim-... options
    std::string tracePath;                // empty: no trace
};

// Adds the device options to a command, read into `options`. They are checked as the command
// line is read: a fault the simulated receiver does not know or with a wrong value, a state
// file that cannot be one, and a simulator option without --simulate are refused. The
// command's help lists the faults.
void addDeviceOptions(CLI::App& command, DeviceOptions& options);
// The simulated receiver's own options (--sim-fault, --sim-state, --sim-update-mode), checked
// the same way; each needs `needs` (--simulate) when it is given. tessik-sim takes them too.
void addSimulatorOptions(CLI::App& command, connect::TransportOptions& device, CLI::Option* needs);

// True when `path` names the file `input` names (the same file, or what would be one).
bool namesSameFile(const std::filesystem::path& path, const std::string& input);

// False with the reason in `error` when the trace or the state file would be written over
// `input`, the table or image the command reads.
bool sparesInput(const DeviceOptions& options, const std::string& input, std::string& error);

// The transport a command uses, with what it needs alongside.
class DeviceAccess {
  public:
    // Nothing, with the reason in `error`, when a fault is unknown or the trace file cannot be
    // written.
    static std::unique_ptr<DeviceAccess> open(const DeviceOptions& options, std::string& error);
    ~DeviceAccess();
    DeviceAccess(const DeviceAccess&) = delete;
    DeviceAccess& operator=(const DeviceAccess&) = delete;

    HidTransport& transport();
    // The machine's clock for a real receiver; simulated time (waits return at once) for the
    // simulated one.
    Clock& clock() { return *clock_; }
    sim::SimulatedReceiver* receiver() { return device_->receiver(); }

  private:
    DeviceAccess() = default;

    std::unique_ptr<Clock> clock_;
    std::unique_ptr<connect::DeviceTransport> device_;
    std::ofstream trace_;
    std::unique_ptr<TracingTransport> tracing_;
};

// Message boxes as lines: notices without a caption ("Success") on the output stream, every
// other box (an error, a failure, a question) on the error stream as "tessik-cli: text", in
// English even where the window shows the link's own Japanese texts.
class TerminalNotifier : public Notifier {
  public:
    explicit TerminalNotifier(Io& io) : io_(io) {}
    Answer show(const Message& message) override;

  private:
    Io& io_;
};

}  // namespace tessik::cli
