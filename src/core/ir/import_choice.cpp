#include "core/ir/import_choice.hpp"

#include <algorithm>
#include <unordered_map>

namespace tessik {
namespace {

char folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool containsFolded(std::string_view text, std::string_view part) {
    if (part.empty()) return true;
    const auto at = std::search(text.begin(), text.end(), part.begin(), part.end(),
                                [](char a, char b) { return folded(a) == folded(b); });
    return at != text.end();
}

// Groups in the order their first signal comes in the file.
std::vector<ImportGroup> groupByRemote(const std::vector<ImportItem>& items) {
    std::vector<ImportGroup> groups;
    std::unordered_map<std::string, std::size_t> index;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string& remote = items[i].signal.remote;
        const auto [at, fresh] = index.emplace(remote, groups.size());
        if (fresh) groups.push_back(ImportGroup{remote, {}});
        groups[at->second].members.push_back(i);
    }
    return groups;
}

}  // namespace

ImportChoice::ImportChoice(const RemoteModel& model, std::vector<RawSignal> found)
    : model_(model),
      items_(decodeSignals(std::move(found))),
      groups_(groupByRemote(items_)),
      chosen_(items_.size(), false),
      shown_(items_.size(), true) {
    // One remote: everything that can be added, as before there was a choice. Several: the user
    // picks the remote, rather than filling the table with codes of every remote at once.
    chosen_.assign(items_.size(), groups_.size() == 1);
    judgeImport(model_, items_, chosen_);
}

std::size_t ImportChoice::chosenCount() const {
    return static_cast<std::size_t>(std::count(chosen_.begin(), chosen_.end(), true));
}

bool ImportChoice::choosable(std::size_t item) const {
    return chosen_[item] || items_[item].verdict == ImportVerdict::Available;
}

void ImportChoice::choose(const std::vector<std::size_t>& items, bool on) {
    if (!on) {
        for (const std::size_t i : items)
            chosen_[i] = false;
        judgeImport(model_, items_, chosen_);
        return;
    }
    std::vector<bool> more(items_.size(), false);
    for (const std::size_t i : items)
        more[i] = true;
    judgeImport(model_, items_, chosen_, more);
}

GroupMark ImportChoice::groupMark(std::size_t group) const {
    std::size_t choosableCount = 0;
    std::size_t chosenCount = 0;
    for (const std::size_t i : groups_[group].members) {
        if (!shown_[i] || !choosable(i)) continue;
        ++choosableCount;
        chosenCount += chosen_[i] ? 1 : 0;
    }
    if (choosableCount == 0) return GroupMark::Unavailable;
    if (chosenCount == 0) return GroupMark::None;
    return chosenCount == choosableCount ? GroupMark::All : GroupMark::Some;
}

void ImportChoice::chooseGroup(std::size_t group, bool on) {
    std::vector<std::size_t> members;
    for (const std::size_t i : groups_[group].members) {
        if (shown_[i]) members.push_back(i);
    }
    choose(members, on);
}

void ImportChoice::chooseShown(bool on) {
    std::vector<std::size_t> members;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (shown_[i]) members.push_back(i);
    }
    choose(members, on);
}

void ImportChoice::setFilter(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const RawSignal& s = items_[i].signal;
        shown_[i] = containsFolded(s.name, text) || containsFolded(s.protocol, text) ||
                    containsFolded(s.remote, text);
    }
}

bool ImportChoice::groupShown(std::size_t group) const {
    const std::vector<std::size_t>& m = groups_[group].members;
    return std::any_of(m.begin(), m.end(), [this](std::size_t i) { return shown_[i]; });
}

}  // namespace tessik
