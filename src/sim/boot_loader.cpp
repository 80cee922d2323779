#include "sim/boot_loader.hpp"

#include <algorithm>
#include <array>
#include <utility>

#include "core/bytes/byte_io.hpp"
#include "core/firmware/crc16.hpp"
#include "core/firmware/updater_link.hpp"

namespace tessik::sim {
namespace {

constexpr std::uint32_t kApplicationStart = kFlashBaseAddress + kImageOffset;  // 0x08004000

void answer(Reply& reply, bool ack) {
    ByteWriter(reply.frame).u8(kUpdaterStatusOffset, ack ? kStatusAck : kStatusNak);
}

}  // namespace

Identity updateModeIdentity() {
    return Identity{kVendorId, kProductIdUpdater, kUpdaterFeatureReportLength};
}

BootLoader::BootLoader(SimulatedReceiver& receiver, BootLoaderOptions options)
    : receiver_(receiver), options_(std::move(options)), flash_(std::make_unique<ImageBuffer>()) {
    options_.flashSize = std::clamp<std::uint32_t>(options_.flashSize, kMinFlashSize,
                                                   static_cast<std::uint32_t>(kImageBufferSize));
    flash_->fill(kErasedByte);
    // A device running its application holds that firmware, header included; one waiting for
    // an update holds nothing.
    if (!options_.startInUpdateMode) {
        const VersionArea& running = receiver_.versionHeader();
        std::copy(running.begin(), running.end(), flash_->begin() + kImageHeaderOffset);
    }
}

std::shared_ptr<BootLoader> BootLoader::attach(SimulatedReceiver& receiver,
                                               BootLoaderOptions options) {
    auto bootLoader = std::make_shared<BootLoader>(receiver, std::move(options));
    receiver.addFirmware(bootLoader);
    if (bootLoader->options().startInUpdateMode) receiver.setIdentity(updateModeIdentity());
    return bootLoader;
}

bool BootLoader::inUpdateMode() const {
    return receiver_.identity().vendorId == kVendorId &&
           receiver_.identity().productId == kProductIdUpdater;
}

void BootLoader::onPowerUp() {
    unlocked_ = false;
    enterArmed_ = false;
}

Handling BootLoader::onRequest(std::span<const std::uint8_t> request, Reply& reply) {
    const ByteReader r(request);
    if (r.u8(kUpdaterStatusOffset) != kUpdaterFrameMark) {
        // The boot loader does not speak the normal-mode protocol.
        return inUpdateMode() ? Handling::Ignored : Handling::NotMine;
    }
    if (faults_.neverReady) return Handling::Ignored;
    const std::uint8_t command = r.u8(kUpdaterCommandOffset);
    const std::uint16_t length = r.u16(kUpdaterLengthOffset);
    const auto payload = r.bytes(kUpdaterPayloadOffset, request.size());
    ByteWriter w(reply.frame);
    w.u8(kUpdaterReadyFlagOffset, 1);
    w.u8(kUpdaterCommandOffset, command);
    return inUpdateMode() ? bootLoaderFrame(command, length, payload, reply)
                          : applicationFrame(command, payload, reply);
}

// The application firmware knows just enough of the updater's frames to hand over to its boot
// loader.
Handling BootLoader::applicationFrame(std::uint8_t command, std::span<const std::uint8_t> payload,
                                      Reply& reply) {
    const ByteReader p(payload);
    switch (static_cast<UpdaterCommand>(command)) {
        case UpdaterCommand::Identify:
            answerIdentity(reply);
            answer(reply, true);
            break;
        case UpdaterCommand::ModeSwitch: {
            const std::uint32_t value = p.u32(0);
            const bool second = value == kModeSwitchEnterSecond && enterArmed_;
            enterArmed_ = value == kModeSwitchEnterFirst;
            answer(reply, enterArmed_ || second);
            if (second) leaveBus(updateModeIdentity(), options_.modeSwitchDelayMs, reply);
            break;
        }
        default:
            answer(reply, false);
            break;
    }
    return Handling::Answered;
}

Handling BootLoader::bootLoaderFrame(std::uint8_t command, std::uint16_t length,
                                     std::span<const std::uint8_t> payload, Reply& reply) {
    const ByteReader p(payload);
    bool ack = false;
    switch (static_cast<UpdaterCommand>(command)) {
        case UpdaterCommand::Identify:
            answerIdentity(reply);
            ack = true;
            break;
        case UpdaterCommand::ModeSwitch:
            ack = length == kModeSwitchLength && modeSwitch(p.u32(0), reply);
            break;
        case UpdaterCommand::FlashUnlock:
            ack = length == kFlashKeyLength && p.u32(0) == kFlashKey;
            if (ack) unlocked_ = true;
            break;
        case UpdaterCommand::FlashErase:
            ack = erase(length, payload, reply);
            break;
        case UpdaterCommand::WriteBlock:
            ack = writeBlock(length, payload, reply);
            break;
        case UpdaterCommand::Probe:
            ack = length == kProbeLength && p.u16(0) == kProbeCount && p.u32(2) == kProbeAddress;
            break;
        case UpdaterCommand::Crc16Check:
            ack = length == kCrc16CheckLength && p.u8(0) == kCrc16CheckSelector;
            if (ack) ByteWriter(reply.frame).u16(kUpdaterPayloadOffset, flashCrc16());
            break;
    }
    answer(reply, ack);
    return Handling::Answered;
}

bool BootLoader::modeSwitch(std::uint32_t value, Reply& reply) {
    if (value == kModeSwitchStart) {
        reply.afterDelivered = [this] { startApplication(); };
        return true;
    }
    // Already in the boot loader: the entering values change nothing.
    return value == kModeSwitchEnterFirst || value == kModeSwitchEnterSecond;
}

bool BootLoader::erase(std::uint16_t length, std::span<const std::uint8_t> payload, Reply& reply) {
    if (length != kFlashKeyLength || ByteReader(payload).u32(0) != kFlashKey || !unlocked_) {
        return false;
    }
    if (faults_.eraseNaks > 0) {
        --faults_.eraseNaks;
        return false;
    }
    std::fill(flash_->begin() + kImageOffset, flash_->begin() + options_.flashSize, kErasedByte);
    ++erases_;
    reply.notReadyForMs = options_.eraseDurationMs;
    return true;
}

// Flash cells are programmed like real flash: a write can only clear bits, so a block written
// over anything but erased flash does not read back as sent.
bool BootLoader::writeBlock(std::uint16_t length, std::span<const std::uint8_t> payload,
                            Reply& reply) {
    const ByteReader p(payload);
    const std::uint32_t address = p.u32(2);
    if (!unlocked_ || length != kWriteBlockLength || p.u16(0) != kFlashBlockSize ||
        payload.size() < kWriteBlockLength) {
        return false;
    }
    const std::uint32_t flashEnd = kFlashBaseAddress + options_.flashSize;
    if (address < kApplicationStart || address > flashEnd - kFlashBlockSize) return false;
    const std::uint32_t block = (address - kApplicationStart) / kFlashBlockSize;
    if (faults_.nakBlock == block) return false;

    const std::size_t offset = address - kFlashBaseAddress;
    const auto data = p.bytes(6, kFlashBlockSize);
    for (std::size_t i = 0; i < kFlashBlockSize; ++i)
        (*flash_)[offset + i] &= data[i];
    // The block's last byte: never the header's crc16 field, always under the image CRC.
    if (faults_.corruptBlock == block) (*flash_)[offset + kFlashBlockSize - 1] ^= 0x01;
    ++written_;
    reply.notReadyForMs = options_.blockWriteMs;
    return true;
}

void BootLoader::answerIdentity(Reply& reply) const {
    ByteWriter w(reply.frame);
    for (std::size_t i = 0; i < options_.identity.size(); ++i) {
        w.u8(kIdentityTextOffset + i, static_cast<std::uint8_t>(options_.identity[i]));
    }
    w.u8(kIdentityTextOffset + options_.identity.size(), 0);
}

// The device leaves the bus once the host has read the acknowledgement.
void BootLoader::leaveBus(const Identity& next, std::uint32_t delayMs, Reply& reply) {
    reply.afterDelivered = [this, next, delayMs] {
        receiver_.reenumerate(
            next, faults_.noReturn ? std::nullopt : std::optional<std::uint32_t>(delayMs));
    };
}

// The boot loader jumps to the application only when the flash holds a complete image (its
// header's CRC matches); otherwise it comes back as itself.
void BootLoader::startApplication() {
    const UfHeader header = flashHeader();
    const auto back =
        faults_.noReturn ? std::nullopt : std::optional<std::uint32_t>(options_.startDelayMs);
    if (imageTypeOfMark(header) == ImageType::None || header.crc16 != flashCrc16()) {
        receiver_.reenumerate(updateModeIdentity(), back);
        return;
    }
    VersionArea running{};
    std::copy_n(flash_->begin() + kImageHeaderOffset, running.size(), running.begin());
    receiver_.setVersionHeader(running);
    receiver_.reenumerate(Identity{header.vid, header.pid, receiver_.options().featureReportLength},
                          back);
}

UfHeader BootLoader::flashHeader() const {
    return decodeUfHeader(std::span(*flash_).subspan(kImageHeaderOffset, kUfHeaderSize));
}

// The CRC of the image the flash holds, with the coverage its header names; a flash without a
// readable header is taken as an image of the boot loader's own generation. Reported as a header
// stores it (0 becomes 0xFFFF).
std::uint16_t BootLoader::flashCrc16() const {
    const UfHeader header = flashHeader();
    ImageType type = imageTypeOfMark(header);
    if (type == ImageType::None) {
        type = options_.identity.starts_with(kIdentityType2) ? ImageType::Type2 : ImageType::Type1;
    }
    return headerCrc16(*flash_, type, std::min(header.flash_size, options_.flashSize));
}

// ---------------------------------------------------------------------------------------------

std::span<const FaultOption<BootLoader>> BootLoader::faultOptions() {
    using Option = FaultOption<BootLoader>;
    static constexpr std::array<Option, 6> kOptions = {{
        {{"erase-nak", "N", "the boot loader refuses the next N flash erases"},
         FaultValue::Number,
         [](BootLoader& b, const FaultArgument& a) { b.faults_.eraseNaks = a.number; }},
        {{"write-nak", "N", "the boot loader refuses the write of block N (0 at 0x08004000)"},
         FaultValue::Number,
         [](BootLoader& b, const FaultArgument& a) { b.faults_.nakBlock = a.number; }},
        {{"corrupt-block", "N", "block N is stored with one bit flipped (the CRC differs)"},
         FaultValue::Number,
         [](BootLoader& b, const FaultArgument& a) { b.faults_.corruptBlock = a.number; }},
        {{"no-return", "", "the device never comes back after a mode switch or start"},
         FaultValue::None,
         [](BootLoader& b, const FaultArgument&) { b.faults_.noReturn = true; }},
        {{"identity", "TEXT", "the boot loader identifies itself with TEXT (default DER32UVE2)"},
         FaultValue::Text,
         [](BootLoader& b, const FaultArgument& a) { b.options_.identity = std::string(a.text); }},
        {{"never-ready", "", "updater commands are taken but never answered"},
         FaultValue::None,
         [](BootLoader& b, const FaultArgument&) { b.faults_.neverReady = true; }},
    }};
    return kOptions;
}

std::vector<FaultInfo> BootLoader::faultCatalogue() const {
    return faultInfos(faultOptions());
}

FaultParse BootLoader::applyFault(const FaultSetting& setting, std::string& error) {
    return applyFaultOption(faultOptions(), *this, setting, error);
}

}  // namespace tessik::sim
