#include <ostream>

#include "cli/cli.hpp"
#include "cli/commands.hpp"
#include "cli/device_options.hpp"
#include "core/text/format.hpp"

namespace tessik::cli {

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"show", "FILE.ird",
         "print the table as the main window lists it, the macros and the timing statistics",
         cmdShow},
        {"export", "FILE.ird", "print the whole table as JSON", cmdExport},
        {"import", "FILE.json OUT.ird", "write a data file from exported JSON", cmdImport},
        {"image-info", "IMAGE.bin", "print a firmware image's header and CRC-16", cmdImageInfo},
        {"decode", "[FILE|-]",
         "decode raw IR timings (durations in us, or an .ir file) as a capture is decoded; one "
         "JSON object per signal",
         cmdDecode},
        {"keys", "",
         "print every key the send strings can hold: virtual key, usage, name, counts as a key",
         cmdKeys},
        {"version", "[DEVICE OPTIONS]", "print the receiver firmware's name, version and date",
         cmdVersion},
        {"setup", "FILE.ird [DEVICE OPTIONS]",
         "write the table, the timing windows and the macros into the receiver", cmdSetup},
        {"firmware", "IMAGE.bin [DEVICE OPTIONS]",
         "replace the receiver's firmware with the image, printing the update's log", cmdFirmware},
    };
    return table;
}

int fail(Io& io, std::string_view message) {
    io.err << "tessik-cli: " << message << '\n';
    return kExitFailure;
}

int usageError(Io& io, std::string_view command) {
    for (const Command& c : commands()) {
        if (c.name == command) {
            io.err << "usage: tessik-cli " << c.name << ' ' << c.usage << '\n';
            return kExitUsage;
        }
    }
    io.err << "usage: tessik-cli COMMAND [ARGS...]; see tessik-cli --help\n";
    return kExitUsage;
}

namespace {

void printHelp(Io& io) {
    io.out << "usage: tessik-cli COMMAND [ARGS...]\n\ncommands:\n";
    for (const Command& c : commands()) {
        io.out << "  " << c.name << ' ' << c.usage << "\n      " << c.summary << '\n';
    }
    printDeviceOptionsHelp(io.out);
}

}  // namespace

int runCli(const Args& args, Io& io) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printHelp(io);
        return args.empty() ? kExitUsage : kExitOk;
    }
    for (const Command& c : commands()) {
        if (c.name == args[0]) return c.run(Args(args.begin() + 1, args.end()), io);
    }
    io.err << "tessik-cli: unknown command \"" << escapeControlBytes(args[0])
           << "\"; see tessik-cli --help\n";
    return kExitUsage;
}

}  // namespace tessik::cli
