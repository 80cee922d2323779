#include <iostream>

#include "cli/cli.hpp"

int main(int argc, char** argv) {
    tessik::cli::Args args(argv + 1, argv + argc);
    tessik::cli::Io io{std::cout, std::cerr, std::cin};
    return tessik::cli::runCli(args, io);
}
