#pragma once
// The analysis as the user reads it, in English and Japanese: protocol names, the window pairs,
// the jitter dialog's verdict and the capture dialog's lines about two presses.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/protocol.hpp"
#include "core/analysis/tolerance.hpp"
#include "core/model/records.hpp"
#include "core/text/language.hpp"

namespace tessik {

// "NEC, address 0x5E, command 0x08", "pulse width, 11 bits", ...
std::string protocolText(const ProtocolName& name, Language language);
// "data one and data zero", "leader and data one", ...
std::string_view pairText(WindowPair pair, Language language);
// "leader high", "data one", ...
std::string_view groupText(TimingGroupId group, Language language);

// The jitter dialog's verdict for the table at `jitterPercent`, one line each: the overlap
// limit; the suggestion, when the spread of a capture is known; "safe" or the pair that
// overlaps at that jitter.
std::string jitterVerdictText(const RemoteHeader& header, std::int32_t jitterPercent,
                              std::optional<double> spreadPercent, Language language);

// Why Set Up Data does not send the windows of `header` at `jitterPercent`: a pair of them
// overlaps, so the receiver could not tell its symbols apart (what `check` refuses too). Empty
// when no pair overlaps.
std::string overlapRefusalText(const RemoteHeader& header, std::int32_t jitterPercent,
                               Language language);
// A data file's jitter outside 0..100 (a hand-edited or foreign file), and the one used instead.
std::string jitterOutOfRangeText(std::int32_t stored, std::int32_t used, Language language);

// The capture dialog, after a confirmed code: the protocol and how far the two presses spread
// on two lines ("NEC, address 0x5E, command 0x08", "Presses vary by up to ±7.9% (data one).").
std::string confirmedCodeText(const ProtocolName& name, const PressSpread& spread,
                              Language language);
// Empty while the presses vary by no more than the jitter; else a warning that names the
// jitter to set, or why none would do.
std::string spreadWarningText(const PressSpread& spread, std::int32_t jitterPercent,
                              std::optional<std::int32_t> limit, Language language);

// The signal view's fixed texts: its labels and legend, and what it says to assistive tools.
enum class SignalText {
    Leader,      // over the leader pulse
    FirstPress,  // legend: the two presses of a capture
    SecondPress,
    Window,        // legend: the bands
    Missed,        // legend: a period outside its band
    Milliseconds,  // the time axis unit
    Empty,         // drawn when there is nothing to draw
    Description,   // for assistive tools; the view's name is the Signal window's caption
    NoRow,         // the Signal window without a selected row
};
std::string_view signalText(SignalText id, Language language);

// The Signal window's lines over the pulse train of a row: "Button 3: 0x20DF10EF", "NEC,
// address 0x04, command 0x08", "Windows at 10% jitter". Short lines, so that they need no
// wrapping at any scale.
std::string signalHeadingText(std::size_t slot, const CodeRecord& code, std::int32_t jitterPercent,
                              Language language);

// After an export, the buttons (slots) left out: "2 button(s) could not be written so that they
// read back as the same code, and were left out: No 3, No 9."; empty when there are none.
std::string leftOutText(const std::vector<std::size_t>& leftOut, Language language);

}  // namespace tessik
