#include "sim/normal_firmware.hpp"

#include <algorithm>

#include "core/bytes/byte_io.hpp"
#include "sim/simulated_receiver.hpp"

namespace tessik::sim {
namespace {

// A stale echo: the code of the poll that came before, as a device that has not yet replaced
// its reply would show.
constexpr std::uint16_t kStaleEcho = static_cast<std::uint16_t>(CommandCode::StartCapture);

void setStatus(Reply& reply, std::uint8_t status) {
    ByteWriter(reply.frame).u8(kStatusOffset, status);
}

void putCount(Reply& reply, std::size_t count) {
    ByteWriter(reply.frame)
        .u16be(kCaptureCountOffset,
               static_cast<std::uint16_t>(std::min<std::size_t>(count, 0xFFFF)));
}

}  // namespace

Handling NormalFirmware::onRequest(std::span<const std::uint8_t> request, Reply& reply) {
    const ByteReader r(request);
    if (r.u8(kFrameMarkOffset) != kNormalFrameMark) return Handling::NotMine;
    const std::uint16_t code = r.u16(kCommandCodeOffset);
    const std::uint16_t length = r.u16(kLengthOffset);
    ByteWriter w(reply.frame);
    w.u16(kCommandCodeOffset, code);
    setStatus(reply, kStatusAck);

    switch (static_cast<CommandCode>(code)) {
        case CommandCode::GetVersion:
            w.u16(kLengthOffset, static_cast<std::uint16_t>(kVersionAreaSize));
            w.bytes(kPayloadOffset, receiver_.versionHeader());
            break;
        case CommandCode::CaptureMode: {
            const std::uint8_t on = r.u8(kPayloadOffset);
            if (on > 1) {
                setStatus(reply, kStatusNak);
                break;
            }
            // Entering or leaving capture mode drops the recording: the next entry is counted
            // from zero.
            receiver_.setCaptureMode(on == 1);
            receiver_.capture().clear(receiver_.clock().tickMs());
            break;
        }
        case CommandCode::StartCapture:
            startCapture(reply);
            break;
        case CommandCode::GetCaptureLow:
        case CommandCode::GetCaptureHigh:
            getCapture(code, reply);
            break;
        case CommandCode::SetIrCode:
        case CommandCode::SetReturnCode:
        case CommandCode::SetMacro:
            if (!store(request, code, length)) setStatus(reply, kStatusNak);
            break;
        case CommandCode::Save:
            // A flash write that fails is refused: the receiver keeps the table it had.
            if (!receiver_.saveTable()) setStatus(reply, kStatusNak);
            reply.notReadyForMs = receiver_.options().saveDurationMs;
            break;
        default:
            setStatus(reply, kStatusNak);
            break;
    }
    return Handling::Answered;
}

void NormalFirmware::startCapture(Reply& reply) {
    const std::size_t count = receiver_.capture().count(receiver_.clock().tickMs());
    ByteWriter(reply.frame).u16(kLengthOffset, 2);
    putCount(reply, count);
}

void NormalFirmware::getCapture(std::uint16_t code, Reply& reply) {
    CaptureBuffer& capture = receiver_.capture();
    const std::uint32_t now = receiver_.clock().tickMs();
    const auto periods = code == static_cast<std::uint16_t>(CommandCode::GetCaptureLow)
                             ? capture.low(now)
                             : capture.high(now);
    Faults& faults = receiver_.faults();
    ByteWriter w(reply.frame);
    if (code == static_cast<std::uint16_t>(CommandCode::GetCaptureLow) && faults.wrongEcho > 0) {
        w.u16(kCommandCodeOffset, kStaleEcho);
        if (faults.wrongEcho != kEveryTime) --faults.wrongEcho;
    }
    putCount(reply, capture.count(now));
    // The length field tells all the device holds; the report carries what fits.
    const std::size_t bytes = std::min<std::size_t>(periods.size() * 2, 0xFFFF);
    w.u16(kLengthOffset,
          faults.oversizedLength ? *faults.oversizedLength : static_cast<std::uint16_t>(bytes));
    const std::size_t room =
        reply.frame.size() > kCaptureDataOffset ? (reply.frame.size() - kCaptureDataOffset) / 2 : 0;
    const std::size_t n = std::min(room, periods.size());
    for (std::size_t i = 0; i < n; ++i)
        w.u16(kCaptureDataOffset + 2 * i, periods[i]);
}

// Set Ir Code, Set Return Code and Set Macro: a length field other than the command's own, or a
// slot outside the table, is refused rather than half stored.
bool NormalFirmware::store(std::span<const std::uint8_t> request, std::uint16_t code,
                           std::uint16_t length) {
    const ByteReader r(request);
    DeviceTable& table = receiver_.table();
    auto copy = [&r](std::size_t from, auto& dest) {
        const auto src = r.bytes(from, dest.size());
        std::fill(dest.begin(), dest.end(), 0);
        std::copy(src.begin(), src.end(), dest.begin());
    };
    switch (static_cast<CommandCode>(code)) {
        case CommandCode::SetIrCode:
            if (length != kSetIrCodeLength) return false;
            copy(kPayloadOffset, table.irCode);
            return true;
        case CommandCode::SetReturnCode: {
            const std::size_t slot = r.u8(kSlotOffset);
            if (length != kSetReturnCodeLength || slot >= kButtonSlots) return false;
            copy(kSlotDataOffset, table.returnCodes[slot]);
            return true;
        }
        case CommandCode::SetMacro: {
            const std::size_t slot = r.u8(kSlotOffset);
            if (length != kSetMacroLength || slot >= kMacroSlots) return false;
            copy(kSlotDataOffset, table.macros[slot]);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace tessik::sim
