#include "hid/console.hpp"

#include <poll.h>
#include <unistd.h>

#include <csignal>

namespace tessik::hid {
namespace {

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int) {
    interrupted = 1;
}

// Without SA_RESTART, so a poll in progress returns at once.
void catchInterrupts() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

bool standardOutputIsTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

bool waitUntilInterrupted(int descriptor, std::uint32_t timeoutMs) {
    catchInterrupts();
    if (interrupted) return false;
    pollfd watched{descriptor, POLLIN, 0};
    ::poll(&watched, descriptor >= 0 ? 1 : 0, static_cast<int>(timeoutMs));
    return interrupted == 0;
}

}  // namespace tessik::hid
