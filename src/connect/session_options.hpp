#pragma once
// The device options, one table for every program: tessik-cli reads them with CLI11, the window
// with QCommandLineParser, tessik-sim takes the simulator's own. Each adapter only turns the
// table's rows into its parser's options.

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/faults.hpp"

namespace tessik::connect {

struct SessionOptions {
    bool simulate = false;  // the simulated receiver instead of this machine's devices
    // Only with `simulate`:
    std::vector<std::string> simFaults;  // "NAME" or "NAME=N", applied in order
    std::filesystem::path simStateFile;  // empty: the simulated table lives for the run only
    bool simUpdateMode = false;          // the receiver waits in its boot loader for an update
    // Every feature-report transfer written here; empty: no trace.
    std::filesystem::path tracePath;
};

enum class OptionKind {
    Flag,      // --name
    Value,     // --name VALUE
    Repeated,  // --name VALUE, as often as wanted
};

struct SessionOption {
    std::string_view name;       // without the dashes: "sim-fault"
    std::string_view valueName;  // "NAME[=N]"; empty for a flag
    std::string_view help;
    OptionKind kind = OptionKind::Flag;
    bool simulatorOnly = false;  // needs --simulate; tessik-sim takes exactly these
    // Why `value` cannot be taken, or empty when it can; nullptr when any value goes.
    std::string (*problem)(const std::string& value) = nullptr;
    // Puts a given value into the options (a flag is given as "").
    void (*set)(SessionOptions& options, const std::string& value) = nullptr;
};

// --simulate, --trace FILE, --sim-fault NAME[=N], --sim-state FILE, --sim-update-mode.
std::span<const SessionOption> sessionOptions();

// Said when a simulator option is given without --simulate; empty when all is well.
std::string simulatorOptionsProblem(const SessionOptions& options);

// The faults --sim-fault takes, the normal firmware's and the boot loader's.
std::vector<sim::FaultInfo> simulatedFaults();
// "Faults of the simulated receiver ..." with one line per fault: a help text's footer.
std::string faultHelp();

// Why the simulated receiver cannot take `setting` ("NAME" or "NAME=VALUE"), or empty when it
// can: for checking a command line before anything runs.
std::string simFaultProblem(const std::string& setting);
// Why `path` cannot be the simulated receiver's state file, or empty when it can: a folder, a
// path in a folder that is not there (every Save of the run would fail), and anything but an
// absent or empty file or a state file (a device or a FIFO would be read without end, and a
// data file given by mistake would be written over).
std::string stateFileProblem(const std::filesystem::path& path);
// Why `path` cannot take a trace, or empty when it can: a trace goes to a regular file, new or
// written over; a FIFO would hold the program until someone reads it, a device would take the
// lines unseen.
std::string traceFileProblem(const std::filesystem::path& path);

}  // namespace tessik::connect
