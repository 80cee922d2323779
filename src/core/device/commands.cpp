#include "core/device/commands.hpp"

#include <algorithm>
#include <array>
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
    w.u8(kReportIdOffset, kReportId);
    w.fill(kReportIdOffset + 1, kFrameMarkOffset - kReportIdOffset - 1, 0);  // bytes 1..2
    w.u8(kFrameMarkOffset, kNormalFrameMark);
    w.u16(kCommandCodeOffset, static_cast<std::uint16_t>(code));
    w.u16(kLengthOffset, lengthField);
}

void encodeTimingWindows(const TimingWindows& t, ByteWriter w) {
    w.u8(kWindowFormatAt, t.format);
    w.u8(kWindowByte1At, t.byte9);
    w.u16(kWindowPairCountAt, t.pairCount);
    w.u16(kLeaderHighMaxAt, t.leaderHigh.max);
    w.u16(kLeaderHighMinAt, t.leaderHigh.min);
    w.u16(kLeaderLowMaxAt, t.leaderLow.max);
    w.u16(kLeaderLowMinAt, t.leaderLow.min);
    const std::array data{&t.one, &t.low, &t.high};
    for (std::size_t i = 0; i < data.size(); ++i) {
        w.u16(kDataMaximaAt + 2 * i, data[i]->max);
        w.u16(kDataMinimaAt + 2 * i, data[i]->min);
    }
    w.u16(kWindowBitCountAt, t.bitCount);
}

TimingWindows decodeTimingWindows(ByteReader r) {
    TimingWindows t;
    t.format = r.u8(kWindowFormatAt);
    t.byte9 = r.u8(kWindowByte1At);
    t.pairCount = r.u16(kWindowPairCountAt);
    t.leaderHigh = {r.u16(kLeaderHighMaxAt), r.u16(kLeaderHighMinAt)};
    t.leaderLow = {r.u16(kLeaderLowMaxAt), r.u16(kLeaderLowMinAt)};
    const std::array data{&t.one, &t.low, &t.high};
    for (std::size_t i = 0; i < data.size(); ++i)
        *data[i] = {r.u16(kDataMaximaAt + 2 * i), r.u16(kDataMinimaAt + 2 * i)};
    t.bitCount = r.u16(kWindowBitCountAt);
    return t;
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

TimingWindows timingWindows(const RemoteHeader& h, std::int32_t jitterPercent) {
    // A jitter outside 0..100 (an old or hand-edited file) would send windows whose maximum
    // lies below their minimum, and the receiver would recognise nothing: it is applied as the
    // nearest of the two.
    const std::int32_t j = std::clamp(jitterPercent, 0, kMaxJitterPercent);
    auto window = [j](const TimingGroup& g) {
        return TimingWindow{widenByJitter(g.max, j), narrowByJitter(g.min, j)};
    };
    // The header's bit count is one byte; the windows carry it in a word.
    return TimingWindows{h.format,
                         0,
                         h.pairCount,
                         window(h.leaderHigh),
                         window(h.leaderLow),
                         window(h.one),
                         window(h.low),
                         window(h.high),
                         h.bitCount};
}

DeviceCommands::Outcome DeviceCommands::exchange(Frame& command, Frame& reply,
                                                 std::uint32_t waitMs) {
    reply.fill(kStatusNotReady);  // an unanswered frame then reads as "not ready"
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
    if (o == Outcome::Ack) {
        std::copy_n(reply.begin() + kPayloadOffset, kVersionAreaSize, area.begin());
    }
    return logged(o, "USB Send Error", "Send Get Version Command Success");
}

bool DeviceCommands::SendModeCommand(CommandCode code, std::uint8_t argument) {
    command_.fill(0);
    putFrameHeader(command_, code, 0);  // the length field stays 0 although byte 8 is used
    command_[kPayloadOffset] = argument;
    return exchange(command_, reply_) == Outcome::Ack;
}

bool DeviceCommands::SetIrCode(const RemoteHeader& h, std::int32_t j) {
    putFrameHeader(command_, CommandCode::SetIrCode, kSetIrCodeLength);
    encodeTimingWindows(timingWindows(h, j),
                        ByteWriter(command_).sub(kPayloadOffset, kSetIrCodeLength));
    return logged(exchange(command_, reply_), "Send Set Ir Code Command Fault",
                  "Send Set Ir Code Command Success");
}

ByteWriter DeviceCommands::slotFrame(CommandCode code, std::size_t slot, std::size_t dataLength) {
    putFrameHeader(command_, code, static_cast<std::uint16_t>(dataLength));
    command_[kSlotOffset] = static_cast<std::uint8_t>(slot);
    return ByteWriter(command_).sub(kSlotDataOffset, dataLength);
}

bool DeviceCommands::SetReturnCode(std::size_t slot, const CodeRecord& record) {
    if (slot >= kButtonSlots) return false;
    ByteWriter w = slotFrame(CommandCode::SetReturnCode, slot, kSetReturnCodeLength);
    w.bytes(kReturnCodeBytesAt, record.codeBytes);
    writeKeys(w, kReturnCodeKeysAt, record.keys);
    return logged(exchange(command_, reply_), "Send Set Return Code Command Fault",
                  "Send Set Return Code Command Success");
}

bool DeviceCommands::SetMacro(std::size_t macroSlot, const MacroRecord& macro) {
    if (macroSlot >= kMacroSlots) return false;
    ByteWriter w = slotFrame(CommandCode::SetMacro, macroSlot, kSetMacroLength);
    w.u16(kMacroIntervalAt, macro.interval);
    for (std::size_t c = 0; c < kMacroCommands; ++c)
        writeKeys(w, kMacroKeysAt + kMacroKeyListStride * c, macro.commands[c].keys);
    return logged(exchange(command_, reply_), "Send Set Macro Command Fault",
                  "Send Set Macro Command Success");
}

bool DeviceCommands::Save() {
    // No bytes are written behind the header, so the device receives what the last Set Macro
    // left in the buffer, as it always has.
    putFrameHeader(command_, CommandCode::Save, kSaveLengthField);
    return logged(exchange(command_, reply_, kSaveReplyWaitMs), "Send Save Command Fault",
                  "Send Save Command Success");
}

void DeviceCommands::ResetBuffers() {
    command_.fill(0);
    reply_.fill(0);
}

}  // namespace tessik
