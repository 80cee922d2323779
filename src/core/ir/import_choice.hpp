#pragma once
// Choosing which signals of an IR code file to add. Collection files hold many remotes (a
// lircd.conf with several "remote" blocks, a ".ir" collection naming each signal's source
// file), and only one remote's codes belong in a table: its timing windows serve one remote.
// So the signals are grouped by the remote they come from, a filter narrows what is shown, and
// when the file holds more than one remote nothing is chosen until the user chooses; a file of
// one remote starts with every signal that can be added chosen.
//
// Every change of the choice judges the file again (judgeImport), so each verdict, slot and
// check box follows the choice: a signal whose code a chosen one already has cannot be chosen
// beside it, and once the chosen ones fill the table no other can.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/ir/signal_import.hpp"
#include "core/model/remote_model.hpp"

namespace tessik {

struct ImportGroup {
    std::string remote;                // empty: the file names no remote
    std::vector<std::size_t> members;  // items, in file order
};

// How much of a group's shown, choosable signals is chosen; Unavailable when none of its shown
// signals can be chosen.
enum class GroupMark { Unavailable, None, Some, All };

class ImportChoice {
  public:
    ImportChoice(const RemoteModel& model, std::vector<RawSignal> found);

    const std::vector<ImportItem>& items() const { return items_; }
    const std::vector<ImportGroup>& groups() const { return groups_; }
    // One entry per item, as addImported takes it.
    const std::vector<bool>& chosen() const { return chosen_; }
    std::size_t chosenCount() const;

    // A chosen item, or one that could be added beside the chosen ones.
    bool choosable(std::size_t item) const;
    // Chooses (or clears) the items; those that cannot be added beside the ones chosen before
    // stay out. Items chosen together are taken in file order.
    void choose(const std::vector<std::size_t>& items, bool on);
    GroupMark groupMark(std::size_t group) const;
    // A group's check box, and Select all / Select none: over the shown items only.
    void chooseGroup(std::size_t group, bool on);
    void chooseShown(bool on);

    // Shows the items whose name, protocol or remote contains `text` (letters in either case).
    void setFilter(std::string_view text);
    bool shown(std::size_t item) const { return shown_[item]; }
    bool groupShown(std::size_t group) const;

  private:
    RemoteModel model_;
    std::vector<ImportItem> items_;
    std::vector<ImportGroup> groups_;
    std::vector<bool> chosen_;
    std::vector<bool> shown_;
};

}  // namespace tessik
