// check: the timing windows a table would be sent with, whether the receiver can still tell its
// symbols apart at the jitter, and which protocol each button speaks.

#include <algorithm>
#include <array>
#include <ostream>

#include "cli/commands.hpp"
#include "cli/json_model.hpp"
#include "core/analysis/protocol.hpp"
#include "core/analysis/texts.hpp"
#include "core/analysis/tolerance.hpp"
#include "core/text/format.hpp"

namespace tessik::cli {
namespace {

constexpr Language kEnglish = Language::English;

struct NamedWindow {
    const char* key;  // in the JSON
    TimingGroupId group;
    const TimingWindow* window;
};

// Points into `w`, which must outlive the result.
std::array<NamedWindow, 5> namedWindows(const TimingWindows& w) {
    return {NamedWindow{"leaderHigh", TimingGroupId::LeaderHigh, &w.leaderHigh},
            NamedWindow{"leaderLow", TimingGroupId::LeaderLow, &w.leaderLow},
            NamedWindow{"one", TimingGroupId::One, &w.one},
            NamedWindow{"low", TimingGroupId::Low, &w.low},
            NamedWindow{"high", TimingGroupId::High, &w.high}};
}

const char* pairKey(WindowPair pair) {
    switch (pair) {
        case WindowPair::OneZero:
            return "oneZero";
        case WindowPair::LeaderOne:
            return "leaderOne";
        case WindowPair::LeaderZero:
            return "leaderZero";
    }
    return "";
}

Json checkToJson(const RemoteModel& model, std::int32_t jitter) {
    Json j;
    j["jitter"] = jitter;
    const auto limit = overlapLimit(model.header());
    j["overlapLimit"] = limit ? Json(*limit) : Json(nullptr);
    Json& windows = j["windows"] = Json::object();
    const TimingWindows sent = timingWindows(model.header(), jitter);
    for (const NamedWindow& w : namedWindows(sent))
        windows[w.key] = {{"min", w.window->min}, {"max", w.window->max}};
    j["margins"] = Json::array();
    j["overlaps"] = Json::array();
    for (const PairMargin& m : pairMargins(model.header(), jitter)) {
        const Json entry = {{"pair", pairKey(m.pair)}, {"marginUs", m.marginUs}};
        j["margins"].push_back(entry);
        if (m.overlaps()) j["overlaps"].push_back(entry);
    }
    j["buttons"] = Json::array();
    for (std::size_t s = 0; s < kButtonSlots; ++s) {
        const CodeRecord& c = model.buttons()[s].code;
        if (!c.occupied()) continue;
        j["buttons"].push_back({{"slot", s},
                                {"code", codeValueText(c.codeValue)},
                                {"protocol", protocolText(identifyProtocol(c), kEnglish)}});
    }
    return j;
}

void printCheck(const RemoteModel& model, std::int32_t jitter, Io& io) {
    io.out << "Jitter: " << jitter << " %\n\nTiming windows as sent (min..max, µs)\n";
    const TimingWindows sent = timingWindows(model.header(), jitter);
    for (const NamedWindow& w : namedWindows(sent)) {
        io.out << formatText("%-13s%5d .. %5d",
                             {groupText(w.group, kEnglish), w.window->min, w.window->max})
               << '\n';
    }
    const auto limit = overlapLimit(model.header());
    io.out << '\n'
           << (limit ? formatText("Overlap limit: %d %%", {*limit})
                     : std::string("Overlap limit: none, the windows overlap without jitter"))
           << '\n';
    const auto margins = pairMargins(model.header(), jitter);
    if (!margins.empty()) io.out << "Margins at " << jitter << " %\n";
    for (const PairMargin& m : margins) {
        io.out << formatText("  %-24s%6d µs", {pairText(m.pair, kEnglish), m.marginUs})
               << (m.overlaps() ? "  overlap" : "") << '\n';
    }
    io.out << "\nNo.  IR Data             Protocol\n";
    for (std::size_t s = 0; s < kButtonSlots; ++s) {
        const CodeRecord& c = model.buttons()[s].code;
        if (!c.occupied()) continue;
        io.out << formatText("%-5d%-20s", {s + 1, codeValueText(c.codeValue)})
               << protocolText(identifyProtocol(c), kEnglish) << '\n';
    }
}

}  // namespace

int cmdCheck(const std::string& file, std::optional<std::int32_t> jitterOption, bool json, Io& io) {
    RemoteModel model;
    int status = kExitOk;
    if (!loadTable(file, model, io, status)) return status;
    // The windows are sent with the jitter clamped as Set Ir Code clamps it.
    const std::int32_t jitter = std::clamp(jitterOption.value_or(model.jitterPercent()), 0, 100);
    if (json) {
        io.out << checkToJson(model, jitter).dump(2) << '\n';
    } else {
        printCheck(model, jitter, io);
    }
    for (const PairMargin& m : pairMargins(model.header(), jitter)) {
        if (m.overlaps()) {
            return fail(io,
                        formatText("%s: at %d %% the windows of %s overlap",
                                   {escapeControlBytes(file), jitter, pairText(m.pair, kEnglish)}));
        }
    }
    return kExitOk;
}

}  // namespace tessik::cli
