#include "cli/device_options.hpp"

#include <filesystem>
#include <system_error>

#include <CLI/CLI.hpp>

#include "core/text/format.hpp"
#include "core/text/path_text.hpp"

namespace tessik::cli {
namespace {

using connect::OptionKind;
using connect::SessionOption;

// The table's rows as CLI11 options; the simulator's own need `simulate` when it is given.
void addRows(CLI::App& command, DeviceOptions& options, bool simulatorOnly) {
    CLI::Option* simulate = nullptr;
    for (const SessionOption& row : connect::sessionOptions()) {
        if (simulatorOnly && !row.simulatorOnly) continue;
        const std::string name = "--" + std::string(row.name);
        const std::string help(row.help);
        const auto set = row.set;
        CLI::Option* option = nullptr;
        switch (row.kind) {
            case OptionKind::Flag:
                option = command.add_flag_callback(
                    name, [&options, set] { set(options, ""); }, help);
                break;
            case OptionKind::Value:
                option = command.add_option_function<std::string>(
                    name, [&options, set](const std::string& v) { set(options, v); }, help);
                break;
            case OptionKind::Repeated:
                option = command.add_option_function<std::vector<std::string>>(
                    name,
                    [&options, set](const std::vector<std::string>& values) {
                        for (const std::string& v : values)
                            set(options, v);
                    },
                    help);
                option->allow_extra_args(false);
                break;
        }
        if (!row.valueName.empty()) option->type_name(std::string(row.valueName));
        if (const auto problem = row.problem) {
            option->check(CLI::Validator([problem](std::string& value) { return problem(value); },
                                         "", std::string(row.name)));
        }
        if (row.name == "simulate") simulate = option;
        if (row.simulatorOnly && simulate != nullptr) option->needs(simulate);
    }
    command.footer(connect::faultHelp());
}

}  // namespace

void addDeviceOptions(CLI::App& command, DeviceOptions& options) {
    addRows(command, options, false);
}

void addSimulatorOptions(CLI::App& command, DeviceOptions& options) {
    addRows(command, options, true);
}

bool namesSameFile(const std::filesystem::path& path, const std::string& input) {
    std::error_code ec;
    if (path.empty()) return false;
    if (std::filesystem::equivalent(path, pathFromUtf8(input), ec)) return true;
    return std::filesystem::weakly_canonical(path, ec) ==
           std::filesystem::weakly_canonical(pathFromUtf8(input), ec);
}

bool sparesInput(const DeviceOptions& options, const std::string& input, std::string& error) {
    const auto same = [&input](const std::filesystem::path& other) {
        return namesSameFile(other, input);
    };
    if (same(options.tracePath)) {
        error = "--trace names " + escapeControlBytes(input) + ", the file the command reads";
        return false;
    }
    if (same(options.simStateFile)) {
        error = "--sim-state names " + escapeControlBytes(input) + ", the file the command reads";
        return false;
    }
    return true;
}

int conclude(connect::DeviceSession& session, int status, Io& io) {
    if (const std::string why = session.finish(); !why.empty()) return fail(io, why);
    return status;
}

void reportDevice(Io& io, const DeviceOutcome& outcome) {
    const std::string_view words = deviceOutcomeText(outcome, Language::English);
    if (!words.empty()) fail(io, words);
}

Answer TerminalNotifier::show(const Message& message) {
    if (message.caption.empty() && message.kind == MessageKind::Notice) {
        io_.out << message.text << '\n';
    } else {
        fail(io_, message.text);
    }
    // A terminal has no one to answer a question: the cautious answer.
    return message.kind == MessageKind::Question ? Answer::Cancel : Answer::Ok;
}

}  // namespace tessik::cli
