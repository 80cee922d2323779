#pragma once
// tessik-cli: the tool's core from a terminal. Each command lives in its own cmd_*.cpp and is
// listed in commands.cpp.

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace tessik::cli {

struct Io {
    std::ostream& out;
    std::ostream& err;
    std::istream& in;
};

using Args = std::vector<std::string>;
using CommandFn = int (*)(const Args& args, Io& io);

struct Command {
    std::string_view name;
    std::string_view usage;    // arguments, e.g. "FILE.ird"
    std::string_view summary;  // one line
    CommandFn run;
};

const std::vector<Command>& commands();

// Runs `tessik-cli ARGS...` (without the program name). Exit status: 0 success, 1 failure,
// 2 wrong usage.
int runCli(const Args& args, Io& io);

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Prints "tessik-cli: MESSAGE" on the error stream and returns kExitFailure.
int fail(Io& io, std::string_view message);
int usageError(Io& io, std::string_view command);

}  // namespace tessik::cli
