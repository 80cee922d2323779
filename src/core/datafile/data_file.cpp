#include "core/datafile/data_file.hpp"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

#include "core/datafile/reader.hpp"
#include "core/datafile/writer.hpp"

namespace tessik {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string systemText(int err) {
    return std::generic_category().message(err);
}

// A name beside the target that no other save uses at the same time.
std::filesystem::path temporaryBeside(const std::filesystem::path& target) {
    std::filesystem::path tmp = target;
    tmp += ".saving";
    return tmp;
}

}  // namespace

bool readWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& out,
                   std::string& error) {
    errno = 0;
    FilePtr f(std::fopen(path.c_str(), "rb"));
    if (!f) {
        error = systemText(errno != 0 ? errno : ENOENT);
        return false;
    }
    out.clear();
    std::uint8_t chunk[65536];
    for (;;) {
        const std::size_t n = std::fread(chunk, 1, sizeof chunk, f.get());
        out.insert(out.end(), chunk, chunk + n);
        if (n < sizeof chunk) break;
    }
    if (std::ferror(f.get())) {
        error = systemText(errno != 0 ? errno : EIO);
        return false;
    }
    return true;
}

OpenResult openDataFile(const std::filesystem::path& path, RemoteModel& model,
                        FileVersion ownVersion) {
    model.ResetTables();
    OpenResult result;
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(path, bytes, result.error)) {
        result.outcome = OpenOutcome::IoError;
        return result;
    }
    const auto layout = readDataFile(bytes, model, ownVersion);
    if (!layout) {
        result.outcome = OpenOutcome::Refused;
        return result;
    }
    model.noteOpened();
    result.outcome = OpenOutcome::Loaded;
    result.layout = *layout;
    return result;
}

SaveResult saveDataFile(const std::filesystem::path& path, RemoteModel& model,
                        FileVersion version) {
    SaveResult result;
    std::vector<std::uint8_t> content = encodeDataFile(model, version);

    // Keep what an older, longer file held behind the records.
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        // The new content replaces the file by a rename, which the file's own permissions do
        // not stop; a file the user may not write stays as it is, as it would if written in
        // place.
        errno = 0;
        if (FilePtr writable{std::fopen(path.c_str(), "r+b")}; !writable) {
            result.error = systemText(errno != 0 ? errno : EACCES);
            return result;
        }
        std::vector<std::uint8_t> old;
        std::string ignored;
        if (readWholeFile(path, old, ignored) && old.size() > content.size()) {
            content.insert(content.end(), old.begin() + static_cast<std::ptrdiff_t>(content.size()),
                           old.end());
        }
    }

    const std::filesystem::path tmp = temporaryBeside(path);
    {
        errno = 0;
        FilePtr f(std::fopen(tmp.c_str(), "wb"));
        if (!f) {
            result.error = systemText(errno != 0 ? errno : EACCES);
            return result;
        }
        const std::size_t written = std::fwrite(content.data(), 1, content.size(), f.get());
        const bool flushed = std::fflush(f.get()) == 0;
        if (written != content.size() || !flushed) {
            result.error = systemText(errno != 0 ? errno : EIO);
            f.reset();
            std::filesystem::remove(tmp, ec);
            return result;
        }
    }
    // The replacement keeps the permissions of the file it replaces.
    const auto status = std::filesystem::status(path, ec);
    if (!ec && std::filesystem::exists(status)) {
        std::filesystem::permissions(tmp, status.permissions(), ec);
    }
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        result.error = ec.message();
        std::filesystem::remove(tmp, ec);
        return result;
    }
    model.noteSaved();
    result.ok = true;
    return result;
}

}  // namespace tessik
