#pragma once
// Where the program keeps what belongs to the user rather than to a table: the user's own key
// layouts. The window and the command line find the same folder. How each system names it:
// linux/user_folders.cpp, windows/user_folders.cpp.

#include <filesystem>

namespace tessik::platform {

// The program's folder among the user's data: "$XDG_DATA_HOME/tessik", or
// "~/.local/share/tessik" when that is not set, on Linux; "%APPDATA%\tessik" on Windows. Empty
// when the system does not say where the user's data goes. The folder may not exist yet.
std::filesystem::path userDataFolder();

}  // namespace tessik::platform
