#include "platform/user_folders.hpp"

#include <cstdlib>

namespace tessik::platform {

// The roaming application data folder, as the environment of every Windows session names it;
// read in UTF-16, so a user name in Japanese stays as it is.
std::filesystem::path userDataFolder() {
    const wchar_t* data = _wgetenv(L"APPDATA");
    if (data == nullptr || data[0] == L'\0') return {};
    const std::filesystem::path folder(data);
    if (!folder.is_absolute()) return {};
    return folder / "tessik";
}

}  // namespace tessik::platform
