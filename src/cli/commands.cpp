// The command line: one subcommand per command, each with its own arguments, options and help.
// Whatever is wrong with it (an unknown command or option, a missing or malformed value) is
// refused before anything is read or sent, with the option named and exit status 2.

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <ostream>
#include <sstream>
#include <system_error>

#include "cli/cli.hpp"
#include "cli/commands.hpp"
#include "cli/device_options.hpp"
#include "core/ir/raw_signals.hpp"
#include "core/text/format.hpp"
#include "core/text/path_text.hpp"
#include "layouts/layout_files.hpp"

namespace tessik::cli {
namespace {

constexpr const char* kProgram = "tessik-cli";

int usage(Io& io, std::string_view message, std::string_view command) {
    io.err << kProgram << ": " << escapeControlBytes(message) << "; see " << kProgram << ' ';
    if (!command.empty()) io.err << command << ' ';
    io.err << "--help\n";
    return kExitUsage;
}

// What OUT.ird becomes: a data file never gets shorter, so an older, longer file keeps the
// bytes it held behind the table.
constexpr const char* kOutputHelp =
    "the data file to write (created, or replaced through a temporary file; the bytes an "
    "older, longer file holds behind the table are kept)";

// Where the user's layouts are read from, for the help: the folder itself where it is known.
std::string userLayoutsPlace() {
    const std::filesystem::path folder = layouts::userLayoutFolder();
    return folder.empty() ? std::string("the user data folder's \"layouts\"")
                          : escapeControlBytes(pathToUtf8(folder));
}

std::string signalFileLimits() {
    return formatText("A file holds at most %d MiB and %d signals; names are cut to %d bytes.",
                      {kMaxSignalFileBytes / (1024 * 1024), kMaxSignals, kMaxSignalNameBytes});
}

// Passes the output on to the stream's own buffer and keeps why the first write that failed
// did, while errno still tells it: whatever went to standard output must have got out, or a
// full disk or a closed pipe would leave a cut JSON behind a status that says all went well.
class CheckedOutput : public std::streambuf {
  public:
    explicit CheckedOutput(std::ostream& out) : out_(out), inner_(out.rdbuf(this)) {}
    ~CheckedOutput() override { out_.rdbuf(inner_); }
    CheckedOutput(const CheckedOutput&) = delete;
    CheckedOutput& operator=(const CheckedOutput&) = delete;

    // Flushes, then ends a command that ran with `status`.
    int conclude(Io& io, int status) {
        out_.flush();
        if (error_.empty() && !out_) error_ = "the stream failed";
        if (error_.empty()) return status;
        return fail(io, "cannot write the standard output (" + error_ + ")");
    }

  protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        errno = 0;
        if (!error_.empty() || traits_type::eq_int_type(inner_->sputc(traits_type::to_char_type(c)),
                                                        traits_type::eof())) {
            return failed();
        }
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        errno = 0;
        const std::streamsize done = error_.empty() ? inner_->sputn(s, n) : 0;
        if (done != n) failed();
        return done;
    }
    int sync() override {
        errno = 0;
        if (error_.empty() && inner_->pubsync() == 0) return 0;
        failed();
        return -1;
    }

  private:
    int_type failed() {
        if (error_.empty()) error_ = std::generic_category().message(errno != 0 ? errno : EIO);
        return traits_type::eof();
    }

    std::ostream& out_;
    std::streambuf* inner_;
    std::string error_;
};

// What the command line holds once read; the callbacks run the chosen command with it.
struct CommandLine {
    std::string file;
    std::string output;
    std::string signalFile;
    std::string into;
    std::string layout;
    std::string format;
    int jitter = 0;
    bool json = false;
    DeviceOptions device;
    int status = kExitOk;
};

// The device commands read `file` (unless empty) and may write the trace and the state file:
// neither may be the file read.
int runOnDevice(CommandLine& line, std::string_view command, Io& io,
                int (*run)(const CommandLine&, Io&)) {
    if (std::string error; !line.file.empty() && !sparesInput(line.device, line.file, error)) {
        return usage(io, error, command);
    }
    return run(line, io);
}

void defineCommands(CLI::App& app, CommandLine& line, Io& io) {
    const auto positional = [](CLI::App* command, const char* name, std::string& into,
                               const char* what) {
        command->add_option(name, into, what)->required();
    };

    CLI::App* show = app.add_subcommand(
        "show",
        "print the table as the main window lists it, the macros and the timing statistics");
    positional(show, "FILE.ird", line.file, "the data file");
    show->callback([&] { line.status = cmdShow(line.file, io); });

    CLI::App* check = app.add_subcommand(
        "check",
        "print the timing windows, the jitter at which they start to overlap, the margins and "
        "each button's protocol; exit status 1 when the windows overlap");
    positional(check, "TABLE.ird", line.file, "the data file");
    CLI::Option* jitter = check->add_option("--jitter", line.jitter,
                                            "check at this jitter instead of the table's own");
    jitter->type_name("PERCENT")->check(CLI::Range(0, 100));
    check->add_flag("--json", line.json, "print one JSON object");
    check->callback([&line, &io, jitter] {
        const auto chosen = jitter->count() > 0 ? std::optional(line.jitter) : std::nullopt;
        line.status = cmdCheck(line.file, chosen, line.json, io);
    });

    CLI::App* exportCommand = app.add_subcommand("export", "print the whole table as JSON");
    positional(exportCommand, "FILE.ird", line.file, "the data file");
    exportCommand->callback([&] { line.status = cmdExport(line.file, io); });

    CLI::App* importCommand = app.add_subcommand("import", "write a data file from exported JSON");
    positional(importCommand, "FILE.json", line.file, "the table as export prints it");
    positional(importCommand, "OUT.ird", line.output, kOutputHelp);
    importCommand->callback([&] { line.status = cmdImport(line.file, line.output, io); });

    CLI::App* imageInfo =
        app.add_subcommand("image-info", "print a firmware image's header and CRC-16");
    positional(imageInfo, "IMAGE.bin", line.file, "the firmware image");
    imageInfo->callback([&] { line.status = cmdImageInfo(line.file, io); });

    CLI::App* decode = app.add_subcommand("decode",
                                          "decode IR code files (.ir raw and parsed signals, "
                                          "lircd.conf, Pronto hex, durations in us) "
                                          "as a capture is decoded; one JSON object per signal. " +
                                              signalFileLimits());
    line.file = "-";
    decode->add_option("FILE", line.file, "the IR code file; - or nothing: standard input");
    decode->callback([&] { line.status = cmdDecode(line.file, io); });

    CLI::App* importSignals = app.add_subcommand(
        "import-signals",
        "add the signals of an IR code file (.ir, lircd.conf, Pronto hex, durations) to a table, "
        "printing what happens to each. " +
            signalFileLimits());
    importSignals->add_option("FILE", line.signalFile, "the IR code file; -: standard input")
        ->required();
    importSignals->add_option("--into", line.into, "the table to add to (default: a new one)")
        ->type_name("TABLE.ird");
    importSignals
        ->add_option("--layout", line.layout,
                     "give each signal whose name stands for a role of this key layout (\"UP\", "
                     "\"KEY_VOLUMEUP\", \"1\") the role's keys; see layouts")
        ->type_name("NAME");
    positional(importSignals, "OUT.ird", line.output, kOutputHelp);
    importSignals->callback([&] {
        line.status = cmdImportSignals(line.signalFile, line.into, line.output, line.layout, io);
    });

    CLI::App* exportSignals = app.add_subcommand(
        "export-signals",
        "write a table's buttons as an IR code file other tools read: ir (.ir signal file), "
        "lircd (lircd.conf), pronto (Pronto hex) or csv");
    positional(exportSignals, "TABLE.ird", line.file, "the data file");
    exportSignals->add_option("FORMAT", line.format, "ir, lircd, pronto or csv")
        ->required()
        ->check(CLI::IsMember({"ir", "lircd", "pronto", "csv"}));
    positional(exportSignals, "OUT", line.output,
               "the file to write (replaced whole); -: standard output");
    exportSignals->callback(
        [&] { line.status = cmdExportSignals(line.file, line.format, line.output, io); });

    CLI::App* keys = app.add_subcommand(
        "keys",
        "print every key the send strings can hold: virtual key, usage, name, counts as a key");
    keys->callback([&] { line.status = cmdKeys(io); });

    CLI::App* layoutsCommand = app.add_subcommand(
        "layouts",
        "print the key layouts import-signals --layout and the window's Guided Set-Up offer, "
        "with each role's name and keys: the shipped ones and the user's own *.json files in " +
            userLayoutsPlace() +
            "; exit status 1, with the file and line, when a user's layout is refused");
    layoutsCommand->callback([&] { line.status = cmdLayouts(io); });

    CLI::App* version =
        app.add_subcommand("version", "print the receiver firmware's name, version and date");
    addDeviceOptions(*version, line.device);
    version->callback([&] {
        line.file.clear();
        line.status = cmdVersion(line.device, io);
    });

    CLI::App* setup = app.add_subcommand(
        "setup",
        "write the table, the timing windows and the macros into the receiver; a table whose "
        "windows overlap at its jitter (see check) is refused before anything is sent");
    positional(setup, "FILE.ird", line.file, "the data file");
    addDeviceOptions(*setup, line.device);
    setup->callback([&] {
        line.status = runOnDevice(line, "setup", io, [](const CommandLine& l, Io& o) {
            return cmdSetup(l.file, l.device, o);
        });
    });

    CLI::App* watch = app.add_subcommand(
        "watch",
        "print one line per receiver on the bus, then per receiver arriving or leaving (its "
        "identity, mode and node), until interrupted");
    watch->add_flag("--json", line.json, "print one JSON object a line");
    addDeviceOptions(*watch, line.device);
    watch->callback([&] { line.status = cmdWatch(line.device, line.json, io); });

    CLI::App* firmware = app.add_subcommand(
        "firmware",
        "replace the receiver's firmware with the image, printing the update's log; an image "
        "whose CRC-16 does not match its data, that is cut short, or whose firmware would come "
        "back under an identity this tool does not look for is refused before anything is sent");
    positional(firmware, "IMAGE.bin", line.file, "the firmware image");
    addDeviceOptions(*firmware, line.device);
    firmware->callback([&] {
        line.status = runOnDevice(line, "firmware", io, [](const CommandLine& l, Io& o) {
            return cmdFirmware(l.file, l.device, o);
        });
    });
}  // namespace

}  // namespace

int fail(Io& io, std::string_view message) {
    std::size_t start = 0;
    do {
        const std::size_t end = std::min(message.find('\n', start), message.size());
        io.err << kProgram << ": " << escapeControlBytes(message.substr(start, end - start))
               << '\n';
        start = end + 1;
    } while (start < message.size());
    return kExitFailure;
}

void warn(Io& io, std::string_view message) {
    fail(io, "warning: " + std::string(message));
}

int runCli(const Args& args, Io& io) {
    CLI::App app{"The setting tool of the USB infrared-remote-control receiver, from a terminal.",
                 kProgram};
    app.require_subcommand(1);
    // Options are spelt the same on every system: on Windows CLI11 would also take "/NAME" for
    // an option, and a path such as /tables/tv.ird with it.
    app.allow_windows_style_options(false);
    CommandLine line;
    defineCommands(app, line, io);
    // Set after the commands, which would inherit it.
    app.footer("Run tessik-cli COMMAND --help for a command's arguments and options.");

    CheckedOutput output(io.out);
    if (args.empty() || args[0] == "help") {
        io.out << app.help();
        return output.conclude(io, args.empty() ? kExitUsage : kExitOk);
    }
    const auto named =
        app.get_subcommands([&args](CLI::App* c) { return c->get_name() == args[0]; });
    if (!args[0].starts_with('-') && named.empty()) {
        return usage(io, "unknown command \"" + args[0] + "\"", "");
    }
    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        io.out << app.help();  // the chosen command's help, when one was named
        return output.conclude(io, kExitOk);
    } catch (const CLI::ParseError& e) {
        const auto chosen = app.get_subcommands();
        return usage(io, e.what(), chosen.empty() ? "" : chosen.front()->get_name());
    }
    return output.conclude(io, line.status);
}

}  // namespace tessik::cli
