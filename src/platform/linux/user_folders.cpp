#include "platform/user_folders.hpp"

#include <cstdlib>

namespace tessik::platform {

std::filesystem::path userDataFolder() {
    // The base directory specification ignores a relative XDG_DATA_HOME.
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') return std::filesystem::path(data) / "tessik";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return std::filesystem::path(home) / ".local" / "share" / "tessik";
    }
    return {};
}

}  // namespace tessik::platform
