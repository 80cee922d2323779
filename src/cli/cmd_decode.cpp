// decode: raw infrared timings through the capture's analysis, one JSON object per signal.

#include <fstream>
#include <istream>
#include <ostream>
#include <sstream>

#include "cli/commands.hpp"
#include "cli/json_model.hpp"
#include "core/ir/decoders.hpp"
#include "core/ir/raw_signals.hpp"

namespace tessik::cli {
namespace {

bool readInput(const std::string& path, Io& io, std::string& text) {
    std::stringstream buffer;
    if (path == "-") {
        buffer << io.in.rdbuf();
    } else {
        std::ifstream in(path, std::ios::binary);
        if (!in) return false;
        buffer << in.rdbuf();
    }
    text = buffer.str();
    return true;
}

}  // namespace

int cmdDecode(const std::string& path, Io& io) {
    const std::string source = path == "-" ? "standard input" : path;
    std::string text;
    if (!readInput(path, io, text)) return fail(io, path + ": cannot be read");

    const RawSignalsParse parsed = parseRawSignals(text);
    if (!parsed.ok) return fail(io, source + ": " + parsed.error);
    if (parsed.signals.empty()) return fail(io, source + ": no raw signal found");

    for (const RawSignal& signal : parsed.signals) {
        const CaptureEntries entries = entriesFromDurations(signal.durations);
        Json j;
        if (!signal.name.empty()) j["name"] = signal.name;
        j.update(codeRecordToJson(decodeCapture(entries.low, entries.high)));
        // Names come from foreign files: bytes that are not UTF-8 are replaced, not fatal.
        io.out << j.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
    }
    if (parsed.skipped > 0) {
        io.err << "tessik-cli: " << source << ": " << parsed.skipped
               << " signal(s) without raw timings skipped\n";
    }
    return kExitOk;
}

}  // namespace tessik::cli
