#include "core/device/commands.hpp"

#include <algorithm>
#include <cmath>

#include "core/bytes/byte_io.hpp"

namespace tessik {
namespace {

std::uint16_t scaled(std::uint16_t value, float factor) {
    const float product = static_cast<float>(value) * factor;  // single precision, as sent
    if (!(product > 0.0f)) return 0;
    if (product >= 65535.0f) return 0xFFFF;
    return static_cast<std::uint16_t>(product);  // truncation toward zero
}

}  // namespace

void putFrameHeader(std::span<std::uint8_t> frame, CommandCode code, std::uint16_t lengthField) {
    ByteWriter w(frame);
    w.u8(0, 1);
    w.u8(1, 0);
    w.u8(2, 0);
    w.u8(3, 0x08);
    w.u16(4, static_cast<std::uint16_t>(code));
    w.u16(6, lengthField);
}

// The jitter comes from a data file and may hold any 32-bit value; 100 ± j is formed in 64 bits
// so that no value overflows, then turned into the single-precision factor the device expects.
std::uint16_t widenByJitter(std::uint16_t value, std::int32_t jitterPercent) {
    const std::int64_t percent = 100 + static_cast<std::int64_t>(jitterPercent);
    return scaled(value, static_cast<float>(percent) / 100.0f);
}

std::uint16_t narrowByJitter(std::uint16_t value, std::int32_t jitterPercent) {
    const std::int64_t percent = 100 - static_cast<std::int64_t>(jitterPercent);
    return scaled(value, static_cast<float>(percent) / 100.0f);
}

DeviceCommands::Outcome DeviceCommands::exchange(Frame& command, Frame& reply,
                                                 std::uint32_t waitMs) {
    reply.fill(0x01);  // an unanswered frame then reads as status 1, "not ready"
    if (!link_.SetFeature(command)) return Outcome::SendFailed;
    if (waitMs > 0) clock_.sleepMs(waitMs);
    if (!link_.GetFeature(reply)) return Outcome::ReceiveFailed;
    return Outcome::Ack;
}

bool DeviceCommands::logged(Outcome outcome, const char* sendFault, const char* success) {
    switch (outcome) {
        case Outcome::SendFailed:
            log_.LogLine(sendFault);
            return false;
        case Outcome::ReceiveFailed:
            log_.LogLine("USB Recv Error");
            return false;
        case Outcome::Ack:
            log_.LogLine(success);
            return true;
    }
    return false;
}

bool DeviceCommands::GetVersion(VersionArea& area) {
    Frame command{};
    Frame reply{};
    putFrameHeader(command, CommandCode::GetVersion, 0);
    const Outcome o = exchange(command, reply);
    if (o == Outcome::Ack) std::copy_n(reply.begin() + 8, kVersionAreaSize, area.begin());
    return logged(o, "USB Send Error", "Send Get Version Command Success");
}

bool DeviceCommands::SendModeCommand(CommandCode code, std::uint8_t argument) {
    command_.fill(0);
    putFrameHeader(command_, code, 0);  // the length field stays 0 although byte 8 is used
    command_[8] = argument;
    return exchange(command_, reply_) == Outcome::Ack;
}

bool DeviceCommands::SetIrCode(const RemoteHeader& h, std::int32_t j) {
    putFrameHeader(command_, CommandCode::SetIrCode, 26);
    ByteWriter w(command_);
    w.u8(8, h.format);
    w.u8(9, 0);  // never assigned by the tool of old; the header's own byte 1 is reserved 0
    w.u16(10, h.pairCount);
    w.u16(12, widenByJitter(h.leaderHigh.max, j));
    w.u16(14, narrowByJitter(h.leaderHigh.min, j));
    w.u16(16, widenByJitter(h.leaderLow.max, j));
    w.u16(18, narrowByJitter(h.leaderLow.min, j));
    w.u16(20, widenByJitter(h.one.max, j));
    w.u16(22, widenByJitter(h.low.max, j));
    w.u16(24, widenByJitter(h.high.max, j));
    w.u16(26, narrowByJitter(h.one.min, j));
    w.u16(28, narrowByJitter(h.low.min, j));
    w.u16(30, narrowByJitter(h.high.min, j));
    w.u16(32, h.bitCount);
    return logged(exchange(command_, reply_), "Send Set Ir Code Command Fault",
                  "Send Set Ir Code Command Success");
}

bool DeviceCommands::SetReturnCode(std::size_t slot, const CodeRecord& record) {
    if (slot >= kButtonSlots) return false;
    // The length field counts the bytes after the slot byte: 20 code bytes and 12 key bytes,
    // which are CodeRecord bytes 20..39 and 42..53.
    putFrameHeader(command_, CommandCode::SetReturnCode, 32);
    ByteWriter w(command_);
    w.u8(8, static_cast<std::uint8_t>(slot));
    w.bytes(9, record.codeBytes);
    for (std::size_t k = 0; k < kKeyWords; ++k)
        w.u16(29 + 2 * k, record.keys[k]);
    return logged(exchange(command_, reply_), "Send Set Return Code Command Fault",
                  "Send Set Return Code Command Success");
}

bool DeviceCommands::SetMacro(std::size_t macroSlot, const MacroRecord& macro) {
    if (macroSlot >= kMacroSlots) return false;
    // The length field counts the bytes after the slot byte: the interval and the eight key
    // lists, MacroRecord bytes 2..3 and 20..115.
    putFrameHeader(command_, CommandCode::SetMacro, 98);
    ByteWriter w(command_);
    w.u8(8, static_cast<std::uint8_t>(macroSlot));
    w.u16(9, macro.interval);
    for (std::size_t c = 0; c < kMacroCommands; ++c) {
        for (std::size_t k = 0; k < kKeyWords; ++k) {
            w.u16(11 + 12 * c + 2 * k, macro.commands[c].keys[k]);
        }
    }
    return logged(exchange(command_, reply_), "Send Set Macro Command Fault",
                  "Send Set Macro Command Success");
}

bool DeviceCommands::Save() {
    // The length field announces 32 bytes; none are written, so the device receives what the
    // last Set Macro left in the buffer, as it always has.
    putFrameHeader(command_, CommandCode::Save, 32);
    return logged(exchange(command_, reply_, kSaveReplyWaitMs), "Send Save Command Fault",
                  "Send Save Command Success");
}

void DeviceCommands::ResetBuffers() {
    command_.fill(0);
    reply_.fill(0);
}

}  // namespace tessik
