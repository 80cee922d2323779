#pragma once
// Runs tessik-cli in-process and captures what it prints.

#include <sstream>
#include <string>

#include "cli/cli.hpp"

namespace tessik::test {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

inline CliRun runCli(cli::Args args, const std::string& input = {}) {
    std::ostringstream out, err;
    std::istringstream in(input);
    cli::Io io{out, err, in};
    const int status = cli::runCli(args, io);
    return {status, out.str(), err.str()};
}

}  // namespace tessik::test
