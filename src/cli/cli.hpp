#pragma once
// tessik-cli: the tool's core from a terminal. Each command lives in its own cmd_*.cpp; the
// command line itself (subcommands, options, help) is read in commands.cpp.

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

// Runs `tessik-cli ARGS...` (without the program name). Exit status: 0 success, 1 failure,
// 2 wrong usage (an unknown command or option, a missing or malformed value).
int runCli(const Args& args, Io& io);

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Prints "tessik-cli: MESSAGE" on the error stream and returns kExitFailure.
int fail(Io& io, std::string_view message);

}  // namespace tessik::cli
