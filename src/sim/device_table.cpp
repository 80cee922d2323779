#include "sim/device_table.hpp"

#include <algorithm>
#include <system_error>

#include "core/bytes/byte_io.hpp"
#include "core/datafile/data_file.hpp"
#include "core/text/path_text.hpp"
#include "platform/durable_file.hpp"

namespace tessik::sim {
namespace {

constexpr std::array<std::uint8_t, 8> kStateMark = {'T', 'S', 'K', 'S', 'I', 'M', '0', '1'};
static_assert(kStateFileSize == 5110);

constexpr const char* kNotAStateFile =
    "holds something other than a simulated receiver's state; it is left as it is";

}  // namespace

TimingWindows DeviceTable::timing() const {
    return decodeTimingWindows(ByteReader(irCode));
}

ReturnCodeEntry DeviceTable::returnCode(std::size_t slot) const {
    ReturnCodeEntry e;
    if (slot >= kButtonSlots) return e;
    const ByteReader r(returnCodes[slot]);
    const auto code = r.bytes(kReturnCodeBytesAt, kCodeBytesCount);
    std::copy(code.begin(), code.end(), e.codeBytes.begin());
    e.keys = readKeys(r, kReturnCodeKeysAt);
    return e;
}

MacroEntry DeviceTable::macro(std::size_t macroSlot) const {
    MacroEntry e;
    if (macroSlot >= kMacroSlots) return e;
    const ByteReader r(macros[macroSlot]);
    e.interval = r.u16(kMacroIntervalAt);
    for (std::size_t c = 0; c < kMacroCommands; ++c)
        e.commands[c] = readKeys(r, kMacroKeysAt + kMacroKeyListStride * c);
    return e;
}

std::vector<std::uint8_t> encodeStateFile(const DeviceTable& table) {
    std::vector<std::uint8_t> out(kStateFileSize);
    ByteWriter w(out);
    w.bytes(0, kStateMark);
    std::size_t pos = kStateMark.size();
    w.bytes(pos, table.irCode);
    pos += kIrCodePayloadSize;
    for (const auto& rc : table.returnCodes) {
        w.bytes(pos, rc);
        pos += kReturnCodePayloadSize;
    }
    for (const auto& m : table.macros) {
        w.bytes(pos, m);
        pos += kMacroPayloadSize;
    }
    return out;
}

std::optional<DeviceTable> decodeStateFile(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kStateFileSize ||
        !std::equal(kStateMark.begin(), kStateMark.end(), bytes.begin())) {
        return std::nullopt;
    }
    DeviceTable t;
    auto take = [&bytes](std::size_t& pos, auto& dest) {
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(pos), dest.size(), dest.begin());
        pos += dest.size();
    };
    std::size_t pos = kStateMark.size();
    take(pos, t.irCode);
    for (auto& rc : t.returnCodes)
        take(pos, rc);
    for (auto& m : t.macros)
        take(pos, m);
    return t;
}

StateFileRead readStateFile(const std::filesystem::path& path) {
    StateFileRead result;
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::status(path, ec))) return result;
    std::vector<std::uint8_t> bytes;
    std::string error;
    switch (readWholeFile(path, bytes, error, kStateFileSize)) {
        case ReadOutcome::Read:
            break;
        case ReadOutcome::TooLarge:
            result.problem = kNotAStateFile;
            return result;
        case ReadOutcome::Failed:
            result.problem = error;
            return result;
    }
    if (bytes.empty()) return result;  // made ready for us (mktemp, touch): nothing to keep
    result.table = decodeStateFile(bytes);
    if (!result.table) result.problem = kNotAStateFile;
    return result;
}

bool writeStateFile(const std::filesystem::path& path, const DeviceTable& table,
                    std::string& error) {
    // Looked at again: the file may have been replaced by something else since the run began.
    std::string why = readStateFile(path).problem;
    if (why.empty()) {
        const Replacement replaced = platform::replaceFileDurably(path, encodeStateFile(table));
        if (replaced.ok) return true;
        why = replaced.error;
    }
    error = "cannot replace " + pathToUtf8(path) + ": " + why;
    return false;
}

}  // namespace tessik::sim
