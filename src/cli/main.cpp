#include <exception>
#include <iostream>

#include "cli/cli.hpp"
#include "platform/console.hpp"
#ifdef _WIN32
#include "platform/windows/system_text.hpp"
#endif

namespace {

int run(const tessik::cli::Args& args) {
    tessik::platform::useUtf8Output();
    tessik::platform::adoptUserLanguage();
    // Nothing the commands call is meant to throw; should the standard library still do so
    // (out of memory, say), the user reads what happened instead of a bare abort.
    try {
        tessik::cli::Io io{std::cout, std::cerr, std::cin};
        return tessik::cli::runCli(args, io);
    } catch (const std::exception& e) {
        std::cerr << "tessik-cli: stopped by an unexpected error: " << e.what() << "\n";
    } catch (...) {
        std::cerr << "tessik-cli: stopped by an unexpected error\n";
    }
    return tessik::cli::kExitFailure;
}

}  // namespace

#ifdef _WIN32
// Windows hands a plain main() its arguments in the legacy code page, where a Japanese folder
// name arrives as question marks; wmain() takes them as they were typed, in UTF-16.
int wmain(int argc, wchar_t** argv) {
    tessik::cli::Args args;
    for (int i = 1; i < argc; ++i)
        args.push_back(tessik::platform::utf8FromWide(argv[i]));
    return run(args);
}
#else
int main(int argc, char** argv) {
    return run(tessik::cli::Args(argv + 1, argv + argc));
}
#endif
