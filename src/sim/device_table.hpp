#pragma once
// What the receiver keeps of a Set Up Data run, exactly as the commands carried it: the Set Ir
// Code payload (its timing windows), the 32 bytes after the slot byte of each of the 128 Set
// Return Code commands, and the 98 bytes after the slot byte of each of the 10 Set Macro
// commands. Decoded views read the raw bytes at their offsets.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/device/commands.hpp"
#include "core/model/records.hpp"

namespace tessik::sim {

inline constexpr std::size_t kIrCodePayloadSize = kSetIrCodeLength;          // frame bytes 8..33
inline constexpr std::size_t kReturnCodePayloadSize = kSetReturnCodeLength;  // frame bytes 9..40
inline constexpr std::size_t kMacroPayloadSize = kSetMacroLength;            // frame bytes 9..106

// One button slot: the code bytes to recognise and the keys to type.
struct ReturnCodeEntry {
    std::array<std::uint8_t, kCodeBytesCount> codeBytes{};
    KeyCodeList keys{};
    bool operator==(const ReturnCodeEntry&) const = default;
};

// One macro: the pause between its commands and the eight key lists.
struct MacroEntry {
    std::uint16_t interval = 0;
    std::array<KeyCodeList, kMacroCommands> commands{};
    bool operator==(const MacroEntry&) const = default;
};

struct DeviceTable {
    std::array<std::uint8_t, kIrCodePayloadSize> irCode{};
    std::array<std::array<std::uint8_t, kReturnCodePayloadSize>, kButtonSlots> returnCodes{};
    std::array<std::array<std::uint8_t, kMacroPayloadSize>, kMacroSlots> macros{};

    TimingWindows timing() const;
    ReturnCodeEntry returnCode(std::size_t slot) const;
    MacroEntry macro(std::size_t macroSlot) const;
    bool operator==(const DeviceTable&) const = default;
};

// The state file keeps the saved table between runs of a demo: an 8-byte mark, then the three
// parts in the order above.
inline constexpr std::size_t kStateFileSize = 8 + kIrCodePayloadSize +
                                              kButtonSlots * kReturnCodePayloadSize +
                                              kMacroSlots * kMacroPayloadSize;

std::vector<std::uint8_t> encodeStateFile(const DeviceTable& table);
// Nothing for a file of another size or without the mark.
std::optional<DeviceTable> decodeStateFile(std::span<const std::uint8_t> bytes);

// What stands at a state file's path. Only an absent or empty file, or a state file, may be
// written over: anything else (a data file given by mistake, a device, a FIFO) is refused
// before the receiver is made, and again before each write, so nothing of it is lost.
struct StateFileRead {
    std::optional<DeviceTable> table;  // the kept table; nothing for an absent or empty file
    std::string problem;               // why the path cannot be a state file; empty when it can
};

// Reads no more than a state file's size and never waits: only a regular file is opened.
StateFileRead readStateFile(const std::filesystem::path& path);
// Replaces the file durably (platform/durable_file.hpp), so an interrupted or failed
// write keeps the old state. False with the reason in `error` on failure, also when the path
// holds something that is not a state file. A folder that cannot be flushed after the rename
// does not fail the write: the table is in place.
bool writeStateFile(const std::filesystem::path& path, const DeviceTable& table,
                    std::string& error);

}  // namespace tessik::sim
