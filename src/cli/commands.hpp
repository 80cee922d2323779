#pragma once

#include "cli/cli.hpp"

namespace tessik::cli {

int cmdShow(const Args& args, Io& io);
int cmdExport(const Args& args, Io& io);
int cmdImport(const Args& args, Io& io);
int cmdImageInfo(const Args& args, Io& io);
int cmdDecode(const Args& args, Io& io);
int cmdKeys(const Args& args, Io& io);
int cmdVersion(const Args& args, Io& io);
int cmdSetup(const Args& args, Io& io);
int cmdFirmware(const Args& args, Io& io);

}  // namespace tessik::cli
