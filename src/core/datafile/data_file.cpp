#include "core/datafile/data_file.hpp"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <string>
#include <system_error>

#include "core/datafile/reader.hpp"
#include "core/datafile/writer.hpp"

namespace tessik {
namespace {

std::string systemText(int err) {
    return std::generic_category().message(err);
}

}  // namespace

ReadOutcome readWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& out,
                          std::string& error, std::size_t maxBytes) {
    out.clear();
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec) {
        error = ec.message();
        return ReadOutcome::Failed;
    }
    if (!std::filesystem::is_regular_file(status)) {
        error = "not a regular file";
        return ReadOutcome::Failed;
    }
    // A stream over the path itself: on Windows it opens the UTF-16 name, where a narrow
    // fopen would take the name through the legacy code page.
    errno = 0;
    std::ifstream f(path, std::ios::binary);
    if (!f) {
        error = systemText(errno != 0 ? errno : ENOENT);
        return ReadOutcome::Failed;
    }
    char chunk[65536];
    for (;;) {
        const std::size_t want = std::min(sizeof chunk, maxBytes + 1 - out.size());
        f.read(chunk, static_cast<std::streamsize>(want));
        const auto n = static_cast<std::size_t>(f.gcount());
        out.insert(out.end(), chunk, chunk + n);
        if (out.size() > maxBytes) {
            error = "larger than " + std::to_string(maxBytes) + " bytes";
            return ReadOutcome::TooLarge;
        }
        if (n < want) break;
    }
    if (f.bad()) {
        error = systemText(errno != 0 ? errno : EIO);
        return ReadOutcome::Failed;
    }
    return ReadOutcome::Read;
}

std::string notAFileToReplace(const std::filesystem::path& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status) || std::filesystem::is_regular_file(status)) return {};
    return std::filesystem::is_directory(status) ? systemText(EISDIR) : "not a regular file";
}

OpenResult openDataFile(const std::filesystem::path& path, RemoteModel& model,
                        FileVersion ownVersion) {
    model.ResetTables();
    OpenResult result;
    std::vector<std::uint8_t> bytes;
    switch (readWholeFile(path, bytes, result.error)) {
        case ReadOutcome::Read:
            break;
        case ReadOutcome::TooLarge:  // no table is that long
            result.outcome = OpenOutcome::Refused;
            return result;
        case ReadOutcome::Failed:
            result.outcome = OpenOutcome::IoError;
            return result;
    }
    RemoteTables tables;
    const auto layout = readDataFile(bytes, tables, ownVersion);
    if (!layout) {
        result.outcome = OpenOutcome::Refused;
        return result;
    }
    if (tables.jitterPercent < 0 || tables.jitterPercent > kMaxJitterPercent) {
        result.storedJitter = tables.jitterPercent;
        tables.jitterPercent = std::clamp(tables.jitterPercent, 0, kMaxJitterPercent);
    }
    model.open(std::move(tables));
    result.outcome = OpenOutcome::Loaded;
    result.layout = *layout;
    return result;
}

SaveResult saveDataFile(const std::filesystem::path& path, RemoteModel& model, FileReplacer& files,
                        FileVersion version) {
    SaveResult result;
    std::vector<std::uint8_t> content = encodeDataFile(model.tables(), version);

    if (result.error = notAFileToReplace(path); !result.error.empty()) return result;
    // Keep what an older, longer file held behind the records.
    std::vector<std::uint8_t> old;
    std::string ignored;
    if (readWholeFile(path, old, ignored) == ReadOutcome::Read && old.size() > content.size()) {
        content.insert(content.end(), old.begin() + static_cast<std::ptrdiff_t>(content.size()),
                       old.end());
    }
    const Replacement replaced = files.replace(path, content);
    result.error = replaced.error;
    if (!replaced.ok) return result;
    model.noteSaved();
    result.ok = true;
    result.warning = replaced.warning;
    return result;
}

}  // namespace tessik
