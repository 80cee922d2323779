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

// How a replacement went. A failure leaves the old file as it was; a success may still carry a
// warning: the new content is in place, but the folder could not be flushed after the rename,
// so a crash soon after might bring the old file back.
struct Replacement {
    bool ok = false;
    std::string error;    // the system's text when !ok
    std::string warning;  // when ok: what may still be wrong; empty when nothing is
};

class FileReplacer {
  public:
    virtual ~FileReplacer() = default;

    // Makes `content` the whole content of the file at `path`, creating it when it is missing.
    virtual Replacement replace(const std::filesystem::path& path,
                                std::span<const std::uint8_t> content) = 0;
};

}  // namespace tessik
