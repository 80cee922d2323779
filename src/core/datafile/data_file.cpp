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

SaveResult saveDataFile(const std::filesystem::path& path, RemoteModel& model, FileReplacer& files,
                        FileVersion version) {
    SaveResult result;
    std::vector<std::uint8_t> content = encodeDataFile(model, version);

    // Keep what an older, longer file held behind the records.
    std::vector<std::uint8_t> old;
    std::string ignored;
    if (readWholeFile(path, old, ignored) && old.size() > content.size()) {
        content.insert(content.end(), old.begin() + static_cast<std::ptrdiff_t>(content.size()),
                       old.end());
    }
    if (!files.replace(path, content, result.error)) return result;
    model.noteSaved();
    result.ok = true;
    return result;
}

}  // namespace tessik
