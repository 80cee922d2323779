#include "platform/user_folders.hpp"

#include <cstdlib>

namespace tessik::platform {

std::filesystem::path userDataFolder() {
    // A relative XDG_DATA_HOME is not to be trusted (desktops pass it over): only an absolute one
    // counts, otherwise the folder under the home directory.
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') return std::filesystem::path(data) / "tessik";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return std::filesystem::path(home) / ".local" / "share" / "tessik";
    }
    return {};
}

}  // namespace tessik::platform
