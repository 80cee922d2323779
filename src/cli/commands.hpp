#pragma once
// The commands, each with its arguments already read and checked from the command line.

#include <string>

#include "cli/cli.hpp"
#include "cli/device_options.hpp"

namespace tessik::cli {

int cmdShow(const std::string& file, Io& io);
int cmdExport(const std::string& file, Io& io);
int cmdImport(const std::string& json, const std::string& output, Io& io);
int cmdImageInfo(const std::string& image, Io& io);
int cmdDecode(const std::string& file, Io& io);  // "-": standard input
// Adds the signals of `file` ("-": standard input) to the table of `into` (empty: a new one) and
// writes OUT; exit status 0 when at least one was added.
int cmdImportSignals(const std::string& file, const std::string& into, const std::string& output,
                     Io& io);
int cmdKeys(Io& io);
int cmdVersion(const DeviceOptions& options, Io& io);
int cmdSetup(const std::string& file, const DeviceOptions& options, Io& io);
int cmdFirmware(const std::string& image, const DeviceOptions& options, Io& io);

}  // namespace tessik::cli
