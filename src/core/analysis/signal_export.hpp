#pragma once
// Taking a table elsewhere: its buttons written as the IR code files other tools read.
//
// - ".ir" signal files: a parsed signal (protocol, address, command) where the protocol
//   analysis names a protocol the format knows, a raw signal otherwise;
// - lircd.conf: one remote whose header, one, zero and trailing pulse are the table's mid
//   values, with each button's bits as its code. Where those timings cannot carry every code (a
//   table of both codings, codes of more than 64 bits, a code the mid values would read
//   differently) the remote lists raw codes instead, LIRC's own form for such remotes;
// - Pronto hex: learned codes at the usual 38 kHz carrier, one line per button, "NAME: 0000 ...";
// - CSV for spreadsheets: No, code, protocol, keys (the send text), comment.
//
// A raw signal is drawn from the button's own timings: its leader, then for each bit the periods
// of its groups (the longest once, the shortest for every other bit), so that decoding it finds
// the record's timing groups and code again. Before a button is written, what is written for it
// is read back as an import reads it; a button whose code would not come back the same is left
// out and named, never written wrong. Names come from the comments, made safe for the format (no
// blanks in lircd.conf, no colon before the Pronto words) and unique, so an import of the file
// gives every button its name back as its comment.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/remote_model.hpp"
#include "core/text/bilingual.hpp"
#include "core/text/language.hpp"

namespace tessik {

enum class ExportFormat { IrSignals, LircConf, Pronto, Csv };

struct ExportFormatInfo {
    ExportFormat format;
    std::string_view name;    // on the command line
    std::string_view suffix;  // of the file, without the dot
    Bilingual description;    // in the export dialog's list of types
};

// In the order the export dialog offers them.
std::span<const ExportFormatInfo> exportFormats();
std::optional<ExportFormat> exportFormatNamed(std::string_view name);

// The export dialog's filters, one per format in exportFormats() order: "IR signal file
// (*.ir);;...".
std::string exportFileFilter(Language language);

struct SignalExport {
    std::string text;                  // the whole file, UTF-8
    std::vector<std::size_t> leftOut;  // slots whose code the format could not carry back
                                       // (what leftOutText says, analysis/texts.hpp)
};

// The occupied slots in slot order. `language` is that of the CSV's protocol column.
SignalExport exportSignals(const RemoteModel& model, ExportFormat format, Language language);

}  // namespace tessik
