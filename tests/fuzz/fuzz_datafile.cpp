// Any bytes handed to the ".ird" reader load or are refused; nothing reads outside the input,
// and whatever loads writes back as a well-formed current-layout file that reads back the same.
// Whatever loads also exports to every IR code format, and each file of signals reads back as
// the codes of the buttons it did not leave out, in order.

#include <algorithm>
#include <cstdlib>
#include <span>

#include "core/analysis/signal_export.hpp"
#include "core/datafile/reader.hpp"
#include "core/datafile/writer.hpp"
#include "core/ir/decoders.hpp"
#include "core/ir/raw_signals.hpp"

namespace {

void exportReadsBack(const tessik::RemoteModel& model) {
    using namespace tessik;
    for (const ExportFormatInfo& f : exportFormats()) {
        const SignalExport out = exportSignals(model, f.format, Language::Japanese);
        if (f.format == ExportFormat::Csv) continue;
        const RawSignalsParse back = parseRawSignals(out.text);
        std::size_t next = 0;
        for (std::size_t s = 0; s < kButtonSlots; ++s) {
            const CodeRecord& c = model.button(s).code;
            if (!c.occupied() ||
                std::find(out.leftOut.begin(), out.leftOut.end(), s) != out.leftOut.end()) {
                continue;
            }
            if (!back.ok || next >= back.found.size()) std::abort();
            const CaptureEntries e = entriesFromDurations(back.found[next++].durations);
            const CodeRecord r = decodeCapture(e.low, e.high);
            if (r.format != c.format || r.bitCount != c.bitCount || r.codeBytes != c.codeBytes ||
                r.codeValue != c.codeValue) {
                std::abort();
            }
        }
        if (next != back.found.size()) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tessik::RemoteTables tables;
    if (!tessik::readDataFile(std::span(data, size), tables)) return 0;
    const auto bytes = tessik::encodeDataFile(tables);
    if (bytes.size() != tessik::kDataFileSize) std::abort();
    tessik::RemoteTables again;
    if (!tessik::readDataFile(bytes, again) || again != tables) std::abort();
    exportReadsBack(tessik::RemoteModel(tables));
    return 0;
}
