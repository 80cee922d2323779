#pragma once
// Replacing a file so that a crash, a full disk or a second instance saving at the same moment
// never leaves it half written: the content goes to a new temporary file in the same folder,
// created exclusively under a name of its own, flushed to the disk, and then put in place of
// the target in one step. On any failure before that step the temporary file is removed and the
// old file is as it was. A target the user may not write (or, on Windows, that another program
// holds open, or that names a device) is refused with the system's text, as writing it in place
// would be. How each system does it: linux/durable_file.cpp, windows/durable_file.cpp.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

#include "core/datafile/file_replacer.hpp"

namespace tessik::platform {

// What makes a temporary name unique: random hex by default; tests give their own.
using NameSuffixes = std::function<std::string()>;
std::string randomNameSuffix();

// The temporary file that replacing `file` (a resolved target, not a link) writes first, for
// one suffix: a name of its own in the same folder (a hidden one where names can be hidden).
std::filesystem::path temporaryName(const std::filesystem::path& file, const std::string& suffix);

// The steps above, with the system's texts (UTF-8) in the result.
Replacement replaceFileDurably(const std::filesystem::path& target,
                               std::span<const std::uint8_t> content,
                               const NameSuffixes& suffixes = randomNameSuffix);

class DurableFileReplacer : public FileReplacer {
  public:
    explicit DurableFileReplacer(NameSuffixes suffixes = randomNameSuffix)
        : suffixes_(std::move(suffixes)) {}
    Replacement replace(const std::filesystem::path& path,
                        std::span<const std::uint8_t> content) override {
        return replaceFileDurably(path, content, suffixes_);
    }

  private:
    NameSuffixes suffixes_;
};

}  // namespace tessik::platform
