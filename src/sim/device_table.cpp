#include "sim/device_table.hpp"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "core/bytes/byte_io.hpp"
#include "core/text/path_text.hpp"
#include "platform/durable_file.hpp"

namespace tessik::sim {
namespace {

constexpr std::array<std::uint8_t, 8> kStateMark = {'T', 'S', 'K', 'S', 'I', 'M', '0', '1'};
static_assert(kStateFileSize == 5110);

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

std::optional<DeviceTable> readStateFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(kStateFileSize);
    std::transform(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(),
                   std::back_inserter(bytes), [](char c) { return static_cast<std::uint8_t>(c); });
    return decodeStateFile(bytes);
}

bool writeStateFile(const std::filesystem::path& path, const DeviceTable& table,
                    std::string& error) {
    std::string why;
    if (platform::replaceFileDurably(path, encodeStateFile(table), why)) return true;
    error = "cannot replace " + pathToUtf8(path) + ": " + why;
    return false;
}

}  // namespace tessik::sim
