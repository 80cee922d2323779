// The console a command runs in, on Windows.

#include "hid/console.hpp"

#include <io.h>
#include <windows.h>

#include <atomic>
#include <cstdio>

namespace tessik::hid {
namespace {

std::atomic<bool> interrupted{false};
HANDLE interruption = nullptr;  // signalled by the first Ctrl+C, Ctrl+Break or close

BOOL WINAPI onInterrupt(DWORD) {
    interrupted = true;
    ::SetEvent(interruption);
    return TRUE;  // handled: the wait ends, not the program
}

void catchInterrupts() {
    if (interruption != nullptr) return;
    interruption = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ::SetConsoleCtrlHandler(onInterrupt, TRUE);
}

}  // namespace

bool standardOutputIsTerminal() {
    return ::_isatty(::_fileno(stdout)) != 0;
}

// Windows has no descriptor to wait on for device changes: the watchers there poll, and the
// wait is for the interval or the user's interruption, whichever comes first.
bool waitUntilInterrupted(int /*descriptor*/, std::uint32_t timeoutMs) {
    catchInterrupts();
    if (!interrupted) ::WaitForSingleObject(interruption, timeoutMs);
    return !interrupted;
}

}  // namespace tessik::hid
