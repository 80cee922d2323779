#include <exception>
#include <iostream>

#include "cli/cli.hpp"

int main(int argc, char** argv) {
    // Nothing the commands call is meant to throw; should the standard library still do so
    // (out of memory, say), the user reads what happened instead of a bare abort.
    try {
        tessik::cli::Args args(argv + 1, argv + argc);
        tessik::cli::Io io{std::cout, std::cerr, std::cin};
        return tessik::cli::runCli(args, io);
    } catch (const std::exception& e) {
        std::cerr << "tessik-cli: stopped by an unexpected error: " << e.what() << "\n";
    } catch (...) {
        std::cerr << "tessik-cli: stopped by an unexpected error\n";
    }
    return tessik::cli::kExitFailure;
}
