#pragma once
// The commands, each with its arguments already read and checked from the command line.

#include <cstdint>
#include <optional>
#include <string>

#include "cli/cli.hpp"
#include "cli/device_options.hpp"
#include "core/device/hid_transport.hpp"
#include "core/model/remote_model.hpp"
#include "layouts/layout_files.hpp"

namespace tessik::cli {

int cmdShow(const std::string& file, Io& io);
// Without a jitter, the table's own.
int cmdCheck(const std::string& file, std::optional<std::int32_t> jitter, bool json, Io& io);
int cmdExport(const std::string& file, Io& io);
int cmdImport(const std::string& json, const std::string& output, Io& io);
int cmdImageInfo(const std::string& image, Io& io);
int cmdDecode(const std::string& file, Io& io);  // "-": standard input
// Adds the signals of `file` ("-": standard input) to the table of `into` (empty: a new one) and
// writes OUT; with `layout`, each signal whose name stands for one of its roles gets the role's
// keys. Exit status 0 when at least one was added.
int cmdImportSignals(const std::string& file, const std::string& into, const std::string& output,
                     const std::string& layout, Io& io);
// Writes the buttons of `file` in `format` (ir, lircd, pronto, csv) to `output` ("-": standard
// output); exit status 1 when a button had to be left out or nothing could be written.
int cmdExportSignals(const std::string& file, const std::string& format, const std::string& output,
                     Io& io);
int cmdKeys(Io& io);
// The key layouts with their roles and keys; exit status 1 when a user's layout is refused.
int cmdLayouts(Io& io);
// The layout `id` of `list`; else says why there is none (its file's refusal, or the names
// there are), sets `status` and returns nullptr.
const KeyLayout* chosenLayout(const std::string& id, const layouts::LayoutList& list, Io& io,
                              int& status);
// Tells each refused user layout on the error stream; true when there was one.
bool refusedLayoutsTold(const layouts::LayoutList& list, Io& io);
int cmdVersion(const DeviceOptions& options, Io& io);
int cmdSetup(const std::string& file, const DeviceOptions& options, Io& io);
int cmdFirmware(const std::string& image, const DeviceOptions& options, Io& io);
// One line per receiver present at the start, then per receiver arriving or leaving, until
// interrupted (Ctrl+C): "arrived 07f7:0021 normal /dev/hidraw3", or one JSON object a line.
int cmdWatch(const DeviceOptions& options, bool json, Io& io);

enum class WatchEvent { Present, Arrived, Left };
std::string watchLine(WatchEvent event, const HidDeviceInfo& device, bool json);

// Loads FILE.ird for a command; on failure prints why (the tool's own refusal text for a
// foreign or newer file), sets `status` and returns false. A jitter outside 0..100 in the file
// is told as a warning.
bool loadTable(const std::string& path, RemoteModel& model, Io& io, int& status);
// Saves the model to OUT.ird durably; the exit status, a failure told on the error stream, and
// a save that may not outlast a crash told as a warning.
int saveTable(const std::string& path, RemoteModel& model, Io& io);

}  // namespace tessik::cli
