// show, export, import: the data file from the terminal.

#include <fstream>
#include <ostream>
#include <sstream>

#include "cli/commands.hpp"
#include "cli/json_model.hpp"
#include "core/analysis/texts.hpp"
#include "core/bytes/utf.hpp"
#include "core/datafile/data_file.hpp"
#include "core/keys/key_codes.hpp"
#include "core/text/format.hpp"
#include "core/text/path_text.hpp"
#include "core/text/strings.hpp"
#include "core/text/ui_texts.hpp"
#include "platform/durable_file.hpp"

namespace tessik::cli {
namespace {

// A table's JSON runs to some hundred kilobytes at most; a bound keeps a wrong input (a device
// file, a huge log) from being read until memory runs out.
constexpr std::size_t kJsonReadLimit = 16 * 1024 * 1024;

constexpr Language kEnglish = Language::English;

// A name, comment or send text of the table as the terminal may show it.
std::string shownText(const std::u16string& text) {
    return escapeControlBytes(utf16ToUtf8(text));
}

std::string padRight(std::string s, std::size_t width) {
    // Width in code points, so Japanese comments do not push the columns about too much.
    std::size_t cps = 0;
    for (unsigned char c : s)
        cps += (c & 0xC0) != 0x80 ? 1 : 0;
    if (cps < width) s.append(width - cps, ' ');
    return s;
}

void printButtons(const RemoteModel& model, Io& io) {
    io.out << padRight(std::string(text(StringId::ColumnNo, kEnglish)), 5)
           << padRight(std::string(text(StringId::ColumnIrData, kEnglish)), 20)
           << padRight(std::string(text(StringId::ColumnSendText, kEnglish)), 24)
           << padRight("Keys", 28) << text(StringId::ColumnComment, kEnglish) << '\n';
    for (std::size_t s = 0; s < kButtonSlots; ++s) {
        const ButtonRecord& b = model.buttons()[s];
        if (!b.code.occupied()) continue;
        io.out << padRight(formatText("%d", {s + 1}), 5)
               << padRight(codeValueText(b.code.codeValue), 20)
               << padRight(shownText(b.text.sendText), 24)
               << padRight(keyCodeListText(b.code.keys, b.text.keyCount), 27) << ' '
               << shownText(b.text.comment) << '\n';
    }
}

void printMacros(const RemoteModel& model, Io& io) {
    bool any = false;
    for (std::size_t m = 0; m < kMacroSlots; ++m) {
        const MacroRecord& rec = model.macros()[m];
        if (rec.used == 0) continue;
        any = true;
        io.out << "Macro " << m + 1 << ": " << shownText(rec.name) << " (interval "
               << (rec.interval == 0 ? 500 : rec.interval) << " ms)\n";
        for (std::size_t c = 0; c < model.macroCommandCount(m); ++c) {
            io.out << "  " << c + 1 << ". " << shownText(rec.commands[c].sendText);
            if (!rec.commands[c].comment.empty())
                io.out << "  # " << shownText(rec.commands[c].comment);
            io.out << '\n';
        }
    }
    if (!any) io.out << "(no macros)\n";
}

void printStatistics(const RemoteHeader& h, Io& io) {
    auto row = [&io](const char* name, const TimingGroup& g) {
        io.out << padRight(name, 12)
               << formatText("min %5d  max %5d  mid %5d", {g.min, g.max, g.mid}) << '\n';
    };
    row("Reader H", h.leaderHigh);
    row("Reader L", h.leaderLow);
    row("Data 1H", h.high);
    row("Data 0H", h.one);
    row("Data L", h.low);
    io.out << padRight("Data Length", 12) << formatText("%5d bits", {h.bitCount}) << '\n';
}

}  // namespace

bool loadTable(const std::string& path, RemoteModel& model, Io& io, int& status) {
    const OpenResult r = openDataFile(pathFromUtf8(path), model);
    const std::string shown = escapeControlBytes(path);
    if (r.outcome == OpenOutcome::Loaded) {
        if (r.storedJitter) {
            warn(io, shown + ": " +
                         jitterOutOfRangeText(*r.storedJitter, model.jitterPercent(), kEnglish));
        }
        return true;
    }
    if (r.outcome == OpenOutcome::Refused) {
        status = fail(io, shown + ": " + std::string(text(StringId::BadDataFile, kEnglish)));
    } else {
        status = fail(io, shown + ": " + r.error);
    }
    return false;
}

int saveTable(const std::string& path, RemoteModel& model, Io& io) {
    platform::DurableFileReplacer files;
    const SaveResult saved = saveDataFile(pathFromUtf8(path), model, files);
    const std::string shown = escapeControlBytes(path);
    if (!saved.ok) return fail(io, shown + ": " + saved.error);
    if (!saved.warning.empty()) warn(io, shown + ": " + saved.warning);
    return kExitOk;
}

int cmdShow(const std::string& file, Io& io) {
    RemoteModel model;
    int status = kExitOk;
    if (!loadTable(file, model, io, status)) return status;
    io.out << "Name: " << shownText(model.header().remoteName) << '\n'
           << "Jitter: " << model.jitterPercent() << " %\n"
           << "Buttons: " << model.occupiedCount() << "\n\n";
    printButtons(model, io);
    io.out << '\n';
    printMacros(model, io);
    io.out << "\nTiming statistics\n";
    printStatistics(model.header(), io);
    return kExitOk;
}

int cmdExport(const std::string& file, Io& io) {
    RemoteModel model;
    int status = kExitOk;
    if (!loadTable(file, model, io, status)) return status;
    io.out << modelToJson(model).dump(2) << '\n';
    return kExitOk;
}

int cmdImport(const std::string& json, const std::string& output, Io& io) {
    // An output that is no file (a FIFO, a device, a folder) is refused before anything is read.
    if (const std::string why = notAFileToReplace(pathFromUtf8(output)); !why.empty()) {
        return fail(io, escapeControlBytes(output) + ": " + why);
    }
    const std::string shown = escapeControlBytes(json);
    std::vector<std::uint8_t> bytes;
    std::string readError;
    if (readWholeFile(pathFromUtf8(json), bytes, readError, kJsonReadLimit) != ReadOutcome::Read) {
        return fail(io, shown + ": cannot be read (" + readError + ")");
    }
    const Json doc = Json::parse(bytes.begin(), bytes.end(), nullptr, /*allow_exceptions=*/false);
    if (doc.is_discarded()) return fail(io, shown + ": not valid JSON");
    RemoteModel model;
    std::string error;
    if (!modelFromJson(doc, model, error)) return fail(io, shown + ": " + error);
    return saveTable(output, model, io);
}

}  // namespace tessik::cli
