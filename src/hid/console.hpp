#pragma once
// The terminal a command runs in: whether its standard output is one (a progress bar is drawn
// only there), and waiting for device events until the user interrupts.

#include <cstdint>

namespace tessik::hid {

bool standardOutputIsTerminal();

// Waits until `descriptor` turns readable (none when negative), `timeoutMs` have passed, or the
// user interrupts (Ctrl+C, or SIGTERM). False once interrupted: the first such signal ends the
// wait, and every later one, instead of the program.
bool waitUntilInterrupted(int descriptor, std::uint32_t timeoutMs);

}  // namespace tessik::hid
