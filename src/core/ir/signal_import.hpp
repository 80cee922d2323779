#pragma once
// Adding the signals of an IR code file to the table, without capturing: each signal is decoded
// as a capture of it would be, then judged by the capture's rules before anything is stored.
//
// The plan is made first, on a copy of the table, so the user sees what would happen to every
// signal (and which slot each one takes) before confirming; the table itself changes only when
// the chosen signals are added. Nothing ever replaces a slot, and the table never holds more
// than its 128 buttons.

#include <cstddef>
#include <string>
#include <vector>

#include "core/ir/raw_signals.hpp"
#include "core/model/remote_model.hpp"
#include "core/text/language.hpp"

namespace tessik {

enum class ImportVerdict {
    Added,            // goes to `slot`
    Available,        // not chosen, but could be added beside the chosen ones
    AlreadyInTable,   // the table holds its code, in `slot`
    DuplicateInFile,  // an earlier signal of the file has its code (signal `sameAs`)
    LengthDiffers,    // another bit count than slot 0's: one set of timing windows serves all
    Unlearnable,      // the file's signal is of a kind the receiver cannot learn (`unlearnable`)
    NothingDecoded,   // neither decoder finds a code in it
    TooLong,          // 160 bits or more
    TableFull,        // no free slot is left
};

struct ImportItem {
    RawSignal signal;
    CodeRecord record;  // the decoded code (empty for an unlearnable signal)
    ImportVerdict verdict = ImportVerdict::NothingDecoded;
    std::size_t slot = kNoFreeSlot;
    std::size_t sameAs = 0;
    std::uint16_t tableBits = 0;  // LengthDiffers: the bit count of the table's codes
    bool importable() const { return verdict == ImportVerdict::Added; }
};

// The signals decoded, not yet judged. Decoding is the capture's own (entriesFromDurations,
// then decodeCapture), so a signal gives exactly the record that decoding the same timings gives.
std::vector<ImportItem> decodeSignals(std::vector<RawSignal> found);

// Judges every item for adding the chosen ones (`chosen[i]`; missing entries are not chosen) to
// `model`: first the chosen items in file order, each Added to the next free slot unless a rule
// refuses it (it is then no longer chosen); then every other item against the table as the
// chosen ones leave it, Available where it could still be added. Items marked in `more` that are
// still Available then are chosen too, one after the other in file order, so that none of them
// pushes out an item chosen before.
void judgeImport(const RemoteModel& model, std::vector<ImportItem>& items,
                 std::vector<bool>& chosen, const std::vector<bool>& more = {});

// Every signal's verdict when all of them are added in order to `model`.
std::vector<ImportItem> planImport(const RemoteModel& model, std::vector<RawSignal> found);

// The comment an added signal gets: its name, clipped as the table clips comments.
std::u16string importComment(const ImportItem& item);

// Adds the chosen importable items to `model` in order, each with importComment, and returns
// the slots they went to, as one edit. Only importable items are added, and none once the
// table is full.
std::vector<std::size_t> addImported(RemoteModel& model, const std::vector<ImportItem>& items,
                                     const std::vector<bool>& chosen);

// "added as No 3", "already in the table as No 2", "the same code as signal 4", "a different
// bit length from No 1 (12 bits, not 32)", "not learnable: ...", "no code found", "too long for
// the receiver", "the table is full".
std::string verdictText(const ImportItem& item, Language language);

}  // namespace tessik
