#pragma once
// File names as the tool's texts hold them: UTF-8. A std::filesystem::path made from a plain
// std::string takes the bytes in the system's narrow encoding, which is UTF-8 on Linux but a
// legacy code page on Windows, where a Japanese folder name would turn into question marks.
// These two go through the UTF-8 forms of path, which mean the same everywhere.

#include <filesystem>
#include <string>
#include <string_view>

namespace tessik {

inline std::filesystem::path pathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string pathToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace tessik
