#pragma once
// Where the program keeps what belongs to the user rather than to a table: the simulated
// receiver's state, the user's own key layouts. The window and the command line find the
// same folder.

#include <filesystem>

namespace tessik::platform {

// "$XDG_DATA_HOME/tessik", or "~/.local/share/tessik" when that is not set; empty when neither
// that nor the home folder is known. The folder may not exist yet.
std::filesystem::path userDataFolder();

}  // namespace tessik::platform
