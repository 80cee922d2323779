#pragma once
// Opening and saving ".ird" files on disk.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/datafile/file_replacer.hpp"
#include "core/datafile/layout.hpp"
#include "core/model/remote_model.hpp"

namespace tessik {

enum class OpenOutcome {
    Loaded,
    Refused,  // not a data file, or written by a newer program: string 123
    IoError,  // could not be opened or read: `error` holds the system's text
};

struct OpenResult {
    OpenOutcome outcome = OpenOutcome::IoError;
    DataFileLayout layout = DataFileLayout::Current;
    std::string error;
    // Loaded with a jitter outside 0..kMaxJitterPercent: the file's value. The model holds the
    // nearest end instead, the jitter the windows are sent with, and the caller tells the user.
    std::optional<std::int32_t> storedJitter;
};

// Resets `model`, then loads the file into it. On success the model counts as opened (name
// shown, commands enabled, not modified); otherwise it stays empty.
OpenResult openDataFile(const std::filesystem::path& path, RemoteModel& model,
                        FileVersion ownVersion = kProgramFileVersion);

struct SaveResult {
    bool ok = false;
    std::string error;    // the system's text when !ok
    std::string warning;  // when ok: saved, but it may not outlast a crash (Replacement)
};

// Writes the model in the current layout through `files`, which puts the new content in place
// of the old file as one step, so a failed save leaves the old file as it was. Bytes of an
// existing file beyond the current layout's end are kept (the tool never shortens a file). On
// success the model counts as saved.
SaveResult saveDataFile(const std::filesystem::path& path, RemoteModel& model, FileReplacer& files,
                        FileVersion version = kProgramFileVersion);

enum class ReadOutcome { Read, Failed, TooLarge };

// A table is 120178 bytes; an older, longer file keeps its tail behind the records when saved
// over, so longer files are taken too, up to this bound, which no table comes near.
inline constexpr std::size_t kDataFileReadLimit = 16 * 1024 * 1024;

// Reads a whole regular file of at most `maxBytes`; anything else (a folder, a FIFO, a device,
// an unreadable file) is Failed with the reason in `error`, a longer file TooLarge after reading
// no more than maxBytes + 1 bytes. No read can grow without bound or wait on a pipe.
ReadOutcome readWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& out,
                          std::string& error, std::size_t maxBytes = kDataFileReadLimit);

// Why `path` cannot take a new data file, when it exists but is not a regular file (a folder,
// a FIFO, a device); empty when it can.
std::string notAFileToReplace(const std::filesystem::path& path);

}  // namespace tessik
