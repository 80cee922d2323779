#pragma once
// The device options every command that talks to the receiver shares, read from the one table
// of connect/session_options.hpp:
//   --simulate            an in-process simulated receiver instead of this machine's devices
//   --trace FILE          every feature-report transfer written to FILE (a regular file)
//   --sim-fault NAME[=N]  a fault of the simulated receiver (repeatable)
//   --sim-state FILE      where the simulated receiver keeps its saved table between runs
//   --sim-update-mode     the simulated receiver starts in its boot loader, waiting for an update
// and what the commands tell on a terminal of what became of their exchanges.

#include <filesystem>
#include <string>

#include "cli/cli.hpp"
#include "connect/device_session.hpp"
#include "connect/session_options.hpp"
#include "core/device/device_outcome.hpp"
#include "core/device/notifier.hpp"

namespace CLI {
class App;
}  // namespace CLI

namespace tessik::cli {

using DeviceOptions = connect::SessionOptions;

// Adds the device options to a command, read into `options`. They are checked as the command
// line is read: a fault the simulated receiver does not know or with a wrong value, a state
// file that cannot be one, and a simulator option without --simulate are refused. The
// command's help lists the faults.
void addDeviceOptions(CLI::App& command, DeviceOptions& options);
// Only the simulated receiver's own options (--sim-fault, --sim-state, --sim-update-mode),
// checked the same way: tessik-sim, which always simulates, takes these.
void addSimulatorOptions(CLI::App& command, DeviceOptions& options);

// True when `path` names the file `input` names (the same file, or what would be one).
bool namesSameFile(const std::filesystem::path& path, const std::string& input);

// False with the reason in `error` when the trace or the state file would be written over
// `input`, the table or image the command reads.
bool sparesInput(const DeviceOptions& options, const std::string& input, std::string& error);

// Ends a command that ran with `status` on `session`: a trace that could not be written in
// full, or a state file the simulated receiver could not keep its table in, is told and turns
// the status into a failure.
int conclude(connect::DeviceSession& session, int status, Io& io);

// A failed exchange on the error stream, "tessik-cli: " and the outcome's English words;
// nothing for an outcome that is not told.
void reportDevice(Io& io, const DeviceOutcome& outcome);

// Message boxes as lines: notices without a caption ("Success") on the output stream, every
// other box (an error, a failure, a question) on the error stream as "tessik-cli: text".
class TerminalNotifier : public Notifier {
  public:
    explicit TerminalNotifier(Io& io) : io_(io) {}
    Answer show(const Message& message) override;

  private:
    Io& io_;
};

}  // namespace tessik::cli
