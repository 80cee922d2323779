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
// 2 wrong usage (an unknown command or option, a missing or malformed value). Output that
// cannot be written (a full disk, a closed pipe) is a failure too, told on the error stream.
int runCli(const Args& args, Io& io);

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Prints "tessik-cli: MESSAGE" on the error stream and returns kExitFailure. Each line of a
// message of several gets the prefix; control bytes in it (from a path, a name) are shown
// escaped, so nothing a file holds can move the cursor or change colours.
int fail(Io& io, std::string_view message);
// The same as "tessik-cli: warning: MESSAGE", for what does not fail the command.
void warn(Io& io, std::string_view message);

}  // namespace tessik::cli
