#pragma once
// The simulated receiver's infrared eye: what happens when a remote-control button is pressed
// in front of it.
//
// In capture mode the receiver records the press into its capture memory, where the tool's
// Start Capture polls watch the entry count grow and then fetch the periods. Outside capture
// mode it does what it is for: it reads the signal through the timing windows it was sent with
// Set Ir Code, looks for the button slot whose code bytes match, and types that slot's keys on
// the computer as a USB keyboard, or runs the macro the slot names.
//
// Everything the receiver types is kept as a list of key edges, timestamped on the receiver's
// clock, for tests and the GUI to read.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "sim/capture_buffer.hpp"
#include "sim/device_table.hpp"
#include "sim/ir_signal.hpp"
#include "sim/remotes.hpp"

namespace tessik::sim {

class SimulatedReceiver;

// One edge of a key as the receiver's keyboard reports carry it: the usage goes down with the
// modifier byte held, and comes up again.
struct TypedKey {
    std::uint8_t usage = 0;
    std::uint8_t modifiers = 0;  // the HID modifier byte (left Ctrl 0x01 ... right GUI 0x80)
    bool down = true;
    std::uint32_t atMs = 0;  // on the receiver's clock
    bool operator==(const TypedKey&) const = default;
};

// A key is held for one report interval and the next key follows one interval after its
// release: the pace of a full-speed keyboard's 10 ms reports.
inline constexpr std::uint32_t kKeyReportIntervalMs = 10;
// A macro whose interval was never set (0) pauses as long as the tool shows for it.
inline constexpr std::uint16_t kUnsetMacroIntervalMs = 500;

enum class Heard {
    NoSuchButton,   // the remote has no button of that name; nothing was sent
    NotListening,   // the receiver is unplugged or off the bus
    Captured,       // capture mode: the press is in the capture memory
    Typed,          // recognised: `slot` matched and its keys (perhaps none) were typed
    NotRecognised,  // outside the timing windows, or no slot holds its code
};

struct PressResult {
    Heard heard = Heard::NotRecognised;
    std::optional<std::size_t> slot;
    std::vector<TypedKey> keys;  // what this press typed
    std::size_t entries = 0;     // Captured: the entries the press put into the capture memory
};

struct TimingNoise {
    double percent = 3.0;  // 0: none  // every period stretched or shrunk by up to this much
    std::uint32_t seed = 1;
};

// --- The receiver's recognition, step by step ----------------------------------------------

// The code bytes of `signal` read through the windows: the leader is the first entry whose low
// and high both lie in the leader windows; then exactly `bitCount` data entries follow, each
// read as the tool's decoder reads it (format 1: the high period is the bit, the low period
// must be a data burst; format 2: the other way round), each period inside its window (a one,
// or a zero). The bits are packed as the tool packs `codeBytes`, so the bytes compare equal to
// what Set Return Code sent. Nothing when no Set Ir Code arrived, no leader fits, the signal
// ends early or a period lies outside every window.
std::optional<std::array<std::uint8_t, kCodeBytesCount>> readCode(const TimingWindows& windows,
                                                                  const IrSignal& signal);

// The first slot whose code bytes equal `code`. A slot with all-zero code bytes is free (a
// stored code always has a one bit: all zeros decodes to nothing in the tool) and never matches.
std::optional<std::size_t> findSlot(const DeviceTable& table,
                                    const std::array<std::uint8_t, kCodeBytesCount>& code);

// What the receiver types for `slot`, starting at `startMs`.
//
// A key list is typed word by word up to its first zero word: the tool stores a key count
// beside the words but does not send it, so the twelve bytes are all the receiver knows. Each
// word is a key-down of its usage with its modifier byte, then a key-up. A word past the
// editor's count that holds a modifier key pressed last (0x02E1, left Shift) is typed like any
// other word: a tap of that modifier, which types nothing visible.
//
// A list whose first word is exactly 0x00FF runs macro keys[1] (0..9; another index types
// nothing): its commands in order, each typed as above, the next one starting the macro's
// interval after the previous one's last key-up. The first command whose first word is zero
// ends the macro. A command that itself names a macro is not followed and types nothing.
std::vector<TypedKey> keysForSlot(const DeviceTable& table, std::size_t slot,
                                  std::uint32_t startMs);

// --- Pressing buttons in front of a simulated receiver --------------------------------------

class IrReception {
  public:
    explicit IrReception(SimulatedReceiver& receiver) : receiver_(receiver) {}

    // One press of `button` on `remote`, optionally with seeded timing noise.
    PressResult press(const VirtualRemote& remote, std::string_view button,
                      std::optional<TimingNoise> noise = std::nullopt);
    // Any signal, as the receiver records it, arriving now on the receiver's clock.
    PressResult receive(const IrSignal& signal);

    // Everything typed since the receiver was made or the list was cleared.
    const std::vector<TypedKey>& typed() const { return typed_; }
    void clearTyped() { typed_.clear(); }

  private:
    SimulatedReceiver& receiver_;
    std::vector<TypedKey> typed_;
};

}  // namespace tessik::sim
