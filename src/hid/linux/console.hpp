#pragma once
// Whether the program's standard output is a terminal (a progress bar is drawn only there).

namespace tessik::hid {

bool standardOutputIsTerminal();

}  // namespace tessik::hid
