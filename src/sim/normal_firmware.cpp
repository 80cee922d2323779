#include "sim/normal_firmware.hpp"

#include <algorithm>

#include "core/bytes/byte_io.hpp"
#include "sim/simulated_receiver.hpp"

namespace tessik::sim {
namespace {

constexpr std::uint8_t kNormalFrameMark = 0x08;  // request byte 3 of every normal-mode command
// The Get Capture periods start at reply byte 10.
constexpr std::size_t kCaptureDataOffset = 10;
// A stale echo: the code of the poll that came before, as a device that has not yet replaced
// its reply would show.
constexpr std::uint16_t kStaleEcho = static_cast<std::uint16_t>(CommandCode::StartCapture);

void setStatus(Reply& reply, std::uint8_t status) {
    ByteWriter(reply.frame).u8(3, status);
}

}  // namespace

Handling NormalFirmware::onRequest(std::span<const std::uint8_t> request, Reply& reply) {
    const ByteReader r(request);
    if (r.u8(3) != kNormalFrameMark) return Handling::NotMine;
    const std::uint16_t code = r.u16(4);
    const std::uint16_t length = r.u16(6);
    ByteWriter w(reply.frame);
    w.u16(4, code);
    setStatus(reply, kStatusAck);

    switch (static_cast<CommandCode>(code)) {
        case CommandCode::GetVersion:
            w.u16(6, static_cast<std::uint16_t>(kVersionAreaSize));
            w.bytes(8, receiver_.versionHeader());
            break;
        case CommandCode::CaptureMode: {
            const std::uint8_t on = r.u8(8);
            if (on > 1) {
                setStatus(reply, kStatusNak);
                break;
            }
            // Entering or leaving capture mode drops any recording: the next press is counted
            // from zero.
            receiver_.setCaptureMode(on == 1);
            receiver_.capture().clear();
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
            receiver_.saveTable();
            reply.notReadyForMs = receiver_.options().saveDurationMs;
            break;
        default:
            setStatus(reply, kStatusNak);
            break;
    }
    return Handling::Answered;
}

void NormalFirmware::startCapture(Reply& reply) {
    const std::size_t count = std::min<std::size_t>(receiver_.capture().poll(), 0xFFFF);
    ByteWriter w(reply.frame);
    w.u16(6, 2);
    w.u8(8, static_cast<std::uint8_t>(count >> 8));  // big-endian, unlike everything else
    w.u8(9, static_cast<std::uint8_t>(count));
}

void NormalFirmware::getCapture(std::uint16_t code, Reply& reply) {
    const CaptureBuffer& capture = receiver_.capture();
    const auto periods = code == static_cast<std::uint16_t>(CommandCode::GetCaptureLow)
                             ? capture.visibleLow()
                             : capture.visibleHigh();
    Faults& faults = receiver_.faults();
    ByteWriter w(reply.frame);
    if (code == static_cast<std::uint16_t>(CommandCode::GetCaptureLow) && faults.wrongEcho > 0) {
        w.u16(4, kStaleEcho);
        if (faults.wrongEcho != kEveryTime) --faults.wrongEcho;
    }
    const std::size_t count = std::min<std::size_t>(capture.visibleCount(), 0xFFFF);
    w.u8(8, static_cast<std::uint8_t>(count >> 8));
    w.u8(9, static_cast<std::uint8_t>(count));
    // The length field tells all the device holds; the report carries what fits.
    const std::size_t bytes = std::min<std::size_t>(periods.size() * 2, 0xFFFF);
    w.u16(6, faults.oversizedLength ? *faults.oversizedLength : static_cast<std::uint16_t>(bytes));
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
            if (length != kIrCodePayloadSize) return false;
            copy(8, table.irCode);
            return true;
        case CommandCode::SetReturnCode: {
            const std::size_t slot = r.u8(8);
            if (length != kReturnCodePayloadSize || slot >= kButtonSlots) return false;
            copy(9, table.returnCodes[slot]);
            return true;
        }
        case CommandCode::SetMacro: {
            const std::size_t slot = r.u8(8);
            if (length != kMacroPayloadSize || slot >= kMacroSlots) return false;
            copy(9, table.macros[slot]);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace tessik::sim
