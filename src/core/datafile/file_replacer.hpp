#pragma once
// How a saved file reaches the disk. The core encodes the bytes; putting them in place of the
// old file safely (a temporary beside it, flushed, then renamed over it) needs calls of the
// operating system, which the core does not make: the caller passes a FileReplacer, the one
// of src/platform for real files, or a test's own.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace tessik {

class FileReplacer {
  public:
    virtual ~FileReplacer() = default;

    // Makes `content` the whole content of the file at `path`, creating it when it is missing.
    // False, with the system's text in `error`, when it cannot; the old file is then as it was.
    virtual bool replace(const std::filesystem::path& path, std::span<const std::uint8_t> content,
                         std::string& error) = 0;
};

}  // namespace tessik
