#include "sim/device_table.hpp"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "core/bytes/byte_io.hpp"
#include "platform/linux/durable_file.hpp"

namespace tessik::sim {
namespace {

constexpr std::array<std::uint8_t, 8> kStateMark = {'T', 'S', 'K', 'S', 'I', 'M', '0', '1'};
static_assert(kStateFileSize == 5110);

KeyCodeList readKeys(const ByteReader& r, std::size_t offset) {
    KeyCodeList k{};
    for (std::size_t i = 0; i < kKeyWords; ++i)
        k[i] = r.u16(offset + 2 * i);
    return k;
}

}  // namespace

TimingWindows DeviceTable::timing() const {
    // Payload offsets are frame offsets less 8.
    const ByteReader r(irCode);
    TimingWindows t;
    t.format = r.u8(0);
    t.byte9 = r.u8(1);
    t.pairCount = r.u16(2);
    t.leaderHighMax = r.u16(4);
    t.leaderHighMin = r.u16(6);
    t.leaderLowMax = r.u16(8);
    t.leaderLowMin = r.u16(10);
    t.oneMax = r.u16(12);
    t.lowMax = r.u16(14);
    t.highMax = r.u16(16);
    t.oneMin = r.u16(18);
    t.lowMin = r.u16(20);
    t.highMin = r.u16(22);
    t.bitCount = r.u16(24);
    return t;
}

ReturnCodeEntry DeviceTable::returnCode(std::size_t slot) const {
    ReturnCodeEntry e;
    if (slot >= kButtonSlots) return e;
    const ByteReader r(returnCodes[slot]);
    for (std::size_t i = 0; i < kCodeBytesCount; ++i)
        e.codeBytes[i] = r.u8(i);
    e.keys = readKeys(r, 20);
    return e;
}

MacroEntry DeviceTable::macro(std::size_t macroSlot) const {
    MacroEntry e;
    if (macroSlot >= kMacroSlots) return e;
    const ByteReader r(macros[macroSlot]);
    e.interval = r.u16(0);
    for (std::size_t c = 0; c < kMacroCommands; ++c)
        e.commands[c] = readKeys(r, 2 + 12 * c);
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
    error = "cannot replace " + path.string() + ": " + why;
    return false;
}

}  // namespace tessik::sim
