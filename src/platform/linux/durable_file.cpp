// Saving on Linux:
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
// A failure to flush the folder after the rename (a folder this user may write but not read, a
// file system that reports an I/O error) does not fail the save, as the new content is in place
// and a reader sees it: it is a warning that the rename may not outlast a crash.

#include "platform/durable_file.hpp"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <optional>
#include <system_error>

namespace tessik::platform {
namespace {

namespace fs = std::filesystem;

// Far more than any sane chain of links; the kernel gives up at 40 too.
constexpr int kMaxLinkHops = 40;
// Names already taken (by another save, or planted) before one is free.
constexpr int kMaxNameAttempts = 100;
// Room for the prefix and suffix of a temporary name within the 255 bytes of a file name.
constexpr std::size_t kMaxBaseNameLength = 200;

std::string systemText(int err) {
    return std::generic_category().message(err);
}

// The file a chain of symbolic links starting at `target` ends in (the target itself when it is
// no link). A dangling link ends at the name it points to, which the save then creates.
std::optional<fs::path> followLinks(fs::path path, int& err) {
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(path, ec);
        if (status.type() == fs::file_type::not_found) return path;
        if (ec) {
            err = ec.value();
            return std::nullopt;
        }
        if (status.type() != fs::file_type::symlink) return path;
        const fs::path next = fs::read_symlink(path, ec);
        if (ec) {
            err = ec.value();
            return std::nullopt;
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    err = ELOOP;
    return std::nullopt;
}

// What the replacement keeps of the file it replaces.
struct Existing {
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
};

// Nothing in `existing` for a file that is not there yet; false with `err` for a file this user
// may not write, or that is no regular file.
bool inspect(const fs::path& file, std::optional<Existing>& existing, int& err) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0) {
        if (errno == ENOENT) return true;
        err = errno;
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    // Opened for writing only to learn whether we may; nothing is written through this handle.
    const int fd = ::open(file.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        err = errno;
        return false;
    }
    ::close(fd);
    existing = Existing{st.st_mode & 07777, st.st_uid, st.st_gid};
    return true;
}

// The temporary file until it has been renamed into place: removed on every way out before.
class Temporary {
  public:
    ~Temporary() {
        if (fd_ >= 0) ::close(fd_);
        if (!path_.empty()) ::unlink(path_.c_str());
    }

    // A new file of our own under a name no one else holds; false with `err`.
    bool create(const fs::path& file, bool replacing, const NameSuffixes& suffixes, int& err) {
        // A new file gets what the umask lets through, as any new file would; a replacement
        // starts private and takes the old file's bits once its content is in.
        const mode_t mode = replacing ? 0600 : 0666;
        for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
            const fs::path candidate = temporaryName(file, suffixes());
            fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                         mode);
            if (fd_ >= 0) {
                path_ = candidate;
                return true;
            }
            if (errno != EEXIST) break;
        }
        err = errno;
        return false;
    }

    bool write(std::span<const std::uint8_t> content, int& err) {
        while (!content.empty()) {
            const ssize_t n = ::write(fd_, content.data(), content.size());
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                err = errno;
                return false;
            }
            content = content.subspan(static_cast<std::size_t>(n));
        }
        return true;
    }

    bool keep(const Existing& old, int& err) {
        // The owner only where this user may give it (root saving someone's file; otherwise the
        // replacement stays ours). A change of owner clears set-id bits, so the mode comes last.
        [[maybe_unused]] const int ownerKept = ::fchown(fd_, old.owner, old.group);
        if (::fchmod(fd_, old.mode) != 0) {
            err = errno;
            return false;
        }
        return true;
    }

    // Flushes and closes; the data is on the disk before the name points at it.
    bool finish(int& err) {
        const bool synced = ::fsync(fd_) == 0;
        if (!synced) err = errno;
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0 && synced) {
            err = errno;
            return false;
        }
        return synced;
    }

    bool renameOnto(const fs::path& file, int& err) {
        if (::rename(path_.c_str(), file.c_str()) != 0) {
            err = errno;
            return false;
        }
        path_.clear();  // it is the file now
        return true;
    }

  private:
    int fd_ = -1;
    fs::path path_;
};

// Makes the rename itself last: the folder's entry is flushed like the file's data.
bool syncFolder(const fs::path& folder, int& err) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        err = errno;
        return false;
    }
    // A file system that cannot flush a folder says EINVAL; there is nothing more to do there.
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    if (!ok) err = errno;
    ::close(fd);
    return ok;
}

}  // namespace

std::string randomNameSuffix() {
    static constexpr char kHex[] = "0123456789abcdef";
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t bits = 0;
    if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bits)) {
        // No entropy to be had this early: unpredictable enough, and O_EXCL keeps it safe.
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        bits = static_cast<std::uint64_t>(now) ^
               (std::uint64_t{static_cast<std::uint32_t>(::getpid())} << 40) ^ ++counter;
    }
    std::string suffix(16, '0');
    for (char& c : suffix) {
        c = kHex[bits & 0xF];
        bits >>= 4;
    }
    return suffix;
}

fs::path temporaryName(const fs::path& file, const std::string& suffix) {
    std::string base = file.filename().string();
    if (base.size() > kMaxBaseNameLength) base.resize(kMaxBaseNameLength);
    return file.parent_path() / ("." + base + "." + suffix + ".tmp");
}

Replacement replaceFileDurably(const fs::path& target, std::span<const std::uint8_t> content,
                               const NameSuffixes& suffixes) {
    Replacement result;
    int err = 0;
    auto fail = [&] {
        result.error = systemText(err != 0 ? err : EIO);
        return result;
    };
    const std::optional<fs::path> file = followLinks(target, err);
    if (!file) return fail();
    std::optional<Existing> existing;
    if (!inspect(*file, existing, err)) return fail();

    Temporary temp;
    if (!temp.create(*file, existing.has_value(), suffixes, err)) return fail();
    if (!temp.write(content, err)) return fail();
    if (existing && !temp.keep(*existing, err)) return fail();
    if (!temp.finish(err)) return fail();
    if (!temp.renameOnto(*file, err)) return fail();
    result.ok = true;
    const fs::path folder = file->parent_path().empty() ? fs::path(".") : file->parent_path();
    if (!syncFolder(folder, err)) {
        result.warning = "saved, but its folder could not be flushed (" + systemText(err) +
                         "): the new content may not outlast a crash";
    }
    return result;
}

}  // namespace tessik::platform
