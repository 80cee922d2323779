// decode, import-signals, export-signals: IR code files (".ir" raw and parsed signals,
// lircd.conf, Pronto hex, bare durations) through the capture's analysis, printed or added to a
// table; a table's buttons written as such files.

#include <istream>
#include <ostream>

#include "cli/commands.hpp"
#include "cli/device_options.hpp"
#include "cli/json_model.hpp"
#include "core/analysis/signal_export.hpp"
#include "core/analysis/texts.hpp"
#include "core/datafile/data_file.hpp"
#include "core/ir/decoders.hpp"
#include "core/ir/raw_signals.hpp"
#include "core/ir/signal_import.hpp"
#include "core/keys/key_codes.hpp"
#include "core/layouts/layout_import.hpp"
#include "core/text/format.hpp"
#include "core/text/path_text.hpp"
#include "platform/durable_file.hpp"

namespace tessik::cli {
namespace {

std::string sourceName(const std::string& path) {
    return path == "-" ? "standard input" : escapeControlBytes(path);
}

// The signals of `path` ("-": standard input); false after saying why.
bool readSignals(const std::string& path, Io& io, RawSignalsParse& parsed, int& status) {
    std::string text;
    if (path == "-") {
        text.resize(kMaxSignalFileBytes + 1);
        io.in.read(text.data(), static_cast<std::streamsize>(text.size()));
        text.resize(static_cast<std::size_t>(io.in.gcount()));
        if (text.size() > kMaxSignalFileBytes) {
            status = fail(io, "standard input: larger than an IR code file can be (16 MiB)");
            return false;
        }
    } else {
        std::vector<std::uint8_t> bytes;
        std::string error;
        if (readWholeFile(pathFromUtf8(path), bytes, error, kMaxSignalFileBytes) !=
            ReadOutcome::Read) {
            status = fail(io, sourceName(path) + ": cannot be read (" + error + ")");
            return false;
        }
        text.assign(bytes.begin(), bytes.end());
    }
    parsed = parseRawSignals(text);
    if (!parsed.ok) {
        status = fail(io, sourceName(path) + ": " + parsed.error);
        return false;
    }
    if (parsed.found.empty()) {
        status = fail(io, sourceName(path) + ": no signal found");
        return false;
    }
    return true;
}

// "[LCTRL][UP] (Vol+)": the keys as the main list shows them, and the role.
std::string roleKeysText(const LayoutRole& role) {
    return keyCodeListText(role.keys, role.keyCount) + " (" + escapeControlBytes(role.english) +
           ")";
}

void reportSkipped(const RawSignalsParse& parsed, const std::string& path, Io& io) {
    if (parsed.skipped == 0) return;
    io.err << "tessik-cli: " << sourceName(path) << ": " << parsed.skipped
           << " block(s) without a signal skipped\n";
}

}  // namespace

int cmdDecode(const std::string& path, Io& io) {
    RawSignalsParse parsed;
    int status = kExitOk;
    if (!readSignals(path, io, parsed, status)) return status;
    for (const RawSignal& signal : parsed.found) {
        Json j;
        if (!signal.name.empty()) j["name"] = signal.name;
        if (!signal.remote.empty()) j["remote"] = signal.remote;
        if (!signal.protocol.empty()) j["protocol"] = signal.protocol;
        if (!signal.unlearnable.empty()) {
            j["unlearnable"] = signal.unlearnable;
        } else {
            const CaptureEntries entries = entriesFromDurations(signal.durations);
            j.update(codeRecordToJson(decodeCapture(entries.low, entries.high)));
        }
        // Names come from foreign files: bytes that are not UTF-8 are replaced, not fatal.
        io.out << j.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
    }
    reportSkipped(parsed, path, io);
    return kExitOk;
}

int cmdImportSignals(const std::string& path, const std::string& into, const std::string& output,
                     const std::string& layoutId, Io& io) {
    if (const std::string why = notAFileToReplace(pathFromUtf8(output)); !why.empty()) {
        return fail(io, escapeControlBytes(output) + ": " + why);
    }
    int status = kExitOk;
    const layouts::LayoutList list =
        layoutId.empty() ? layouts::LayoutList{}
                         : layouts::loadLayouts(layouts::userLayoutFolder(), Language::English);
    const KeyLayout* layout = layoutId.empty() ? nullptr : chosenLayout(layoutId, list, io, status);
    if (!layoutId.empty() && layout == nullptr) return status;
    RemoteModel model;
    if (!into.empty() && !loadTable(into, model, io, status)) return status;
    RawSignalsParse parsed;
    if (!readSignals(path, io, parsed, status)) return status;
    reportSkipped(parsed, path, io);

    const std::vector<ImportItem> items = planImport(model, std::move(parsed.found));
    const std::vector<const LayoutRole*> roles =
        layout != nullptr ? rolesOfItems(*layout, items)
                          : std::vector<const LayoutRole*>(items.size(), nullptr);
    std::size_t added = 0;
    std::size_t withKeys = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const ImportItem& item = items[i];
        const RawSignal& s = item.signal;
        const std::string name =
            s.name.empty()
                ? formatText("signal %d", {i + 1})
                : escapeControlBytes(s.remote.empty() ? s.name : s.remote + " / " + s.name);
        io.out << name << ": " << verdictText(item, Language::English);
        if (layout != nullptr && item.importable()) {
            io.out << (roles[i] != nullptr ? ", types " + roleKeysText(*roles[i])
                                           : std::string(", no keys: no role of the layout"));
            withKeys += roles[i] != nullptr ? 1 : 0;
        }
        io.out << '\n';
        added += item.importable() ? 1 : 0;
    }
    io.out << formatText("%d of %d signal(s) added, %d button(s) in the table\n",
                         {added, items.size(), model.occupiedCount() + added});
    if (layout != nullptr) {
        io.out << formatText("%d of them with the keys of %s\n",
                             {withKeys, escapeControlBytes(layout->id)});
    }
    if (added == 0) {
        return fail(io, "nothing was added; " + escapeControlBytes(output) + " was not written");
    }
    addImportedWithKeys(model, items, {}, layout);
    return saveTable(output, model, io);
}

}  // namespace tessik::cli

namespace tessik::cli {

int cmdExportSignals(const std::string& file, const std::string& formatName,
                     const std::string& output, Io& io) {
    const auto format = exportFormatNamed(formatName);
    if (!format) return fail(io, "no such format: " + escapeControlBytes(formatName));
    const bool toStandardOutput = output == "-";
    const std::string shown = escapeControlBytes(output);
    if (!toStandardOutput) {
        if (const std::string why = notAFileToReplace(pathFromUtf8(output)); !why.empty()) {
            return fail(io, shown + ": " + why);
        }
        if (namesSameFile(pathFromUtf8(output), file)) {
            return fail(io, shown + ": the table itself; the export would replace it");
        }
    }
    RemoteModel model;
    int status = kExitOk;
    if (!loadTable(file, model, io, status)) return status;
    if (model.occupiedCount() == 0) {
        return fail(io,
                    escapeControlBytes(file) + ": the table has no buttons; nothing was written");
    }
    const SignalExport result = exportSignals(model, *format, Language::English);
    if (toStandardOutput) {
        io.out << result.text;  // runCli checks that it got out
    } else {
        platform::DurableFileReplacer files;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(result.text.data());
        const Replacement written =
            files.replace(pathFromUtf8(output), std::span(bytes, result.text.size()));
        if (!written.ok) return fail(io, shown + ": " + written.error);
        if (!written.warning.empty()) warn(io, shown + ": " + written.warning);
    }
    if (!result.leftOut.empty()) return fail(io, leftOutText(result.leftOut, Language::English));
    return kExitOk;
}

}  // namespace tessik::cli
