#pragma once
// Replacing a file so that a crash, a full disk or a second instance saving at the same moment
// never leaves it half written, and a link planted beside it is never followed:
//
//  1. A target that is a symbolic link is followed to the file it names; that file is replaced
//     and the link stays a link.
//  2. A file this user may not write is refused, as writing it in place would be (a rename
//     over it would otherwise succeed, since only the folder's permissions guard a rename).
//  3. The content goes to a new temporary file in the same folder, created exclusively under a
//     name of its own (O_CREAT | O_EXCL | O_NOFOLLOW: whatever already stands at that name, a
//     planted link included, is passed over for another name). It takes the old file's
//     permission bits (and owner, where allowed), and is flushed to the disk.
//  4. It is renamed over the target, and the folder is flushed so that the rename lasts too.
//
// On any failure before the rename the temporary file is removed and the old file is as it was.
// A failure to flush the folder after the rename (a folder this user may write but not read, a
// file system that reports an I/O error) does not fail the save, as the new content is in place
// and a reader sees it: it is a warning that the rename may not outlast a crash.

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
// one suffix: a hidden name in the same folder.
std::filesystem::path temporaryName(const std::filesystem::path& file, const std::string& suffix);

// The steps above, with the system's texts in the result.
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
