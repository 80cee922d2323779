#pragma once
// What a program sets up at start-up: its standard streams, and the user's language as the
// system keeps it.

namespace tessik::platform {

// Prepares a command-line program's standard streams for the UTF-8 text it writes: on Windows
// the console shows UTF-8 and line ends go out as they are, as on Linux; elsewhere nothing to do.
void useUtf8Output();

// For a window program asked for --help or --version: on Windows it has no console of its own,
// so it writes into the one it was started from, if any; elsewhere nothing to do.
void useParentConsole();

// Hands the user's language to the texts where the system keeps it outside the environment
// (Windows: the display language); on Linux the locale variables are that setting already.
void adoptUserLanguage();

}  // namespace tessik::platform
