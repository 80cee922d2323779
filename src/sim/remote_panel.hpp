#pragma once
// What the virtual remote control panel says: its texts in both languages, and one log line per
// press telling what the simulated receiver did with it. The window that shows the panel only
// places these texts; every wording is decided here.

#include <string>
#include <string_view>

#include "core/text/language.hpp"
#include "sim/device_table.hpp"
#include "sim/ir_reception.hpp"
#include "sim/remotes.hpp"

namespace tessik::sim {

enum class PanelText {
    Caption,      // the window's title
    MenuEntry,    // the main window's entry that shows the panel again
    TimingNoise,  // the label of the noise control (its value is a percentage)
    Log,          // the accessible name of the log pane
    Unplug,       // the button that pulls the receiver out of the computer
    PlugIn,       // the same button while it is out
    Unplugged,    // the log lines they leave
    PluggedIn,
};

std::string_view panelText(PanelText text, Language language);

// "NEC TV Power: captured, 34 entries", "NEC TV Vol+: No 2: [LCTRL]C", "AEHA audio Play: No 3,
// macro 2: A, after 300 ms: [ENTER]", "SIRC TV 1: no button matched". Keys are written as the
// main list writes a send string; the pause before each macro step is what the receiver
// waited, read off the typed keys' times. `table` is what the receiver holds (it tells a macro
// from keys).
std::string pressLogLine(const VirtualRemote& remote, std::string_view button,
                         const PressResult& result, const DeviceTable& table, Language language);

}  // namespace tessik::sim
