#include "core/firmware/update_procedure.hpp"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "core/text/format.hpp"

namespace tessik {
namespace {

// The log texts, English in every language as the receiver's users have always read them.
constexpr std::string_view kLogNotConnected = "device is not connected...\r\n";
constexpr std::string_view kLogTypeMismatch = "Mismatch FCF and UF version.\r\n";
constexpr std::string_view kLogUnlock = "Flash Unlock...";
constexpr std::string_view kLogUnlockFailed = "Error\r\n";
constexpr std::string_view kLogErase = "Flash Erase ";
constexpr std::string_view kLogEraseAttempt = ".";
constexpr std::string_view kLogEraseFailed = " Error\r\n";
constexpr std::string_view kLogWriting = "Writing...\r\n";
constexpr std::string_view kLogWriteFailed = "write command NG";
constexpr std::string_view kLogCrc = "CRC16 check...";
constexpr std::string_view kLogCrcCommandFailed = "command NG";
constexpr std::string_view kLogCrcValues = "calc:0x%x send:0x%x ";
constexpr std::string_view kLogCrcMismatch = "NG";
constexpr std::string_view kLogRun = "Run UF...";
constexpr std::string_view kLogRunFailed = "ERROR\r\n";
constexpr std::string_view kLogStepOk = "OK\r\n";
constexpr std::string_view kLogSucceeded = "OK. Firmware update succeeded.\r\n";

// The progress positions: 1 after unlocking, 2 after erasing, 3 + i while block i is written,
// blocks + 3 after the last block, blocks + 4 after the CRC check, blocks + 5 when started.
constexpr int kProgressUnlocked = 1;
constexpr int kProgressErased = 2;
constexpr int kProgressFirstBlock = 3;
constexpr int kProgressBlocksDone = 3;
constexpr int kProgressCrcChecked = 4;
constexpr int kProgressStarted = 5;

bool allErased(std::span<const std::uint8_t> block) {
    return std::all_of(block.begin(), block.end(), [](std::uint8_t b) { return b == kErasedByte; });
}

}  // namespace

int updateProgressMaximum(const UfHeader& header) {
    return static_cast<int>(header.flash_size / kFlashBlockSize) + kProgressStarted;
}

void LinkUpdateHost::handBack(std::uint16_t vid, std::uint16_t pid) {
    link_.Disconnect();
    link_.vendorId = vid;
    link_.productId = pid;
    versionArea_.fill(0);
    commands_.GetVersion(versionArea_);
}

Message updateVerdict(const UpdateResult& result, Language language) {
    StringId id = StringId::FirmwareUpdateFailed;
    if (result.outcome == UpdateOutcome::Succeeded) {
        id = StringId::FirmwareUpdateSucceeded;
    } else if (result.outcome == UpdateOutcome::NotConnected) {
        // Permission is not absence: "not connected" would send the user looking at the cable.
        id = result.device.error == DeviceError::NoPermission ? StringId::DeviceAccessDenied
                                                              : StringId::DeviceNotConnected;
    }
    // Under the application's own caption; a failure with the warning icon.
    return Message{
        std::string(), std::string(text(id, language)),
        result.outcome == UpdateOutcome::Succeeded ? MessageKind::Notice : MessageKind::Warning};
}

UpdateResult FirmwareUpdate::Update(ConstImageSpan image, ImageType imageType) {
    denied_ = false;
    const UpdateOutcome outcome = run(image, imageType);
    if (outcome == UpdateOutcome::Succeeded) return {outcome, {}};
    if (outcome == UpdateOutcome::NotConnected) {
        return {outcome, {denied_ ? DeviceError::NoPermission : DeviceError::NotConnected, {}}};
    }
    return {outcome, link_.outcome()};
}

UpdateOutcome FirmwareUpdate::run(ConstImageSpan image, ImageType imageType) {
    const UfHeader header = imageHeader(image);
    const std::uint32_t blocks = header.flash_size / kFlashBlockSize;
    sink_.setProgressRange(0, updateProgressMaximum(header));
    sink_.setProgress(0);

    const ImageType bootLoader = connect(header);
    if (bootLoader == ImageType::None) {
        sink_.appendLog(kLogNotConnected);
        return UpdateOutcome::NotConnected;
    }
    // An image built for the other boot-loader generation would not run: stop before the flash
    // is touched. The link stays open; the next update's Connect closes it.
    if (bootLoader != imageType) {
        sink_.appendLog(kLogTypeMismatch);
        return UpdateOutcome::TypeMismatch;
    }
    if (!unlockFlash()) return failureEnd(kLogUnlockFailed, UpdateOutcome::UnlockFailed);
    if (!eraseFlash()) return failureEnd(kLogEraseFailed, UpdateOutcome::EraseFailed);
    if (!writeBlocks(image, blocks)) return failureEnd(kLogWriteFailed, UpdateOutcome::WriteFailed);
    showProgress(static_cast<int>(blocks) + kProgressBlocksDone);
    sink_.appendLog(kLogStepOk);
    const UpdateOutcome crc = checkCrc(header, blocks);
    if (crc != UpdateOutcome::Succeeded) return crc;
    if (!startFirmware(header)) return failureEnd(kLogRunFailed, UpdateOutcome::StartFailed);
    succeed(header, blocks);
    return UpdateOutcome::Succeeded;
}

// The identities that may lead to the boot loader, first success wins: the one the main window
// knows (the running firmware's, or the boot loader's when only that was found at start-up),
// the older application identity, the boot loader itself, and the identity of the image's own
// firmware.
ImageType FirmwareUpdate::connect(const UfHeader& header) {
    const UfHeader running = host_.runningFirmware();
    const std::array<std::pair<std::uint16_t, std::uint16_t>, 4> candidates = {{
        {running.vid, running.pid},
        {kVendorId, kProductIdAlternate},
        {kVendorId, kProductIdUpdater},
        {header.vid, header.pid},
    }};
    for (const auto& [vid, pid] : candidates) {
        const ImageType type = link_.Connect(vid, pid);
        if (type != ImageType::None) return type;
        denied_ = denied_ || link_.outcome().error == DeviceError::NoPermission;
    }
    return ImageType::None;
}

bool FirmwareUpdate::unlockFlash() {
    sink_.appendLog(kLogUnlock);
    if (link_.FlashUnlock() != TransferStatus::Ack) return false;
    sink_.setProgress(kProgressUnlocked);
    sink_.appendLog(kLogStepOk);
    return true;
}

// Erasing the whole application area takes the device a while and may be refused while its
// flash controller is still busy: one dot per attempt.
bool FirmwareUpdate::eraseFlash() {
    sink_.appendLog(kLogErase);
    for (int attempt = 0; attempt < kEraseAttempts; ++attempt) {
        sink_.appendLog(kLogEraseAttempt);
        if (link_.FlashErase() == TransferStatus::Ack) {
            sink_.setProgress(kProgressErased);
            sink_.appendLog(kLogStepOk);
            return true;
        }
    }
    return false;
}

// Block i stands at buffer offset 0x4000 + 256 i and goes to flash 0x08004000 + 256 i, in
// ascending order, each acknowledged before the next. A block of 0xFF bytes is already what the
// erased flash holds and is not sent; neither is a block past the end of the 1 MB buffer (an
// image whose flash_size reaches into the last 16 KB): the file cannot have reached there, so it
// is erased flash too.
bool FirmwareUpdate::writeBlocks(ConstImageSpan image, std::uint32_t blocks) {
    sink_.appendLog(kLogWriting);
    for (std::uint32_t i = 0; i < blocks; ++i) {
        showProgress(kProgressFirstBlock + static_cast<int>(i));
        const std::size_t offset = kImageOffset + static_cast<std::size_t>(i) * kFlashBlockSize;
        if (offset + kFlashBlockSize > image.size() ||
            allErased(image.subspan(offset, kFlashBlockSize))) {
            clock_.sleepMs(kSkippedBlockPauseMs);
            continue;
        }
        const auto block = image.subspan(offset).first<kFlashBlockSize>();
        const auto address = static_cast<std::uint32_t>(kFlashBaseAddress + offset);
        if (link_.WriteBlock(address, block) != TransferStatus::Ack) return false;
    }
    return true;
}

UpdateOutcome FirmwareUpdate::checkCrc(const UfHeader& header, std::uint32_t blocks) {
    sink_.appendLog(kLogCrc);
    const std::optional<std::uint16_t> crc = link_.Crc16Check();
    if (!crc) return failureEnd(kLogCrcCommandFailed, UpdateOutcome::CrcCommandFailed);
    if (*crc != header.crc16) {
        // The device's value first, then the one the image carries.
        sink_.appendLog(formatText(kLogCrcValues, {*crc, header.crc16}));
        return failureEnd(kLogCrcMismatch, UpdateOutcome::CrcMismatch);
    }
    showProgress(static_cast<int>(blocks) + kProgressCrcChecked);
    sink_.appendLog(kLogStepOk);
    return UpdateOutcome::Succeeded;
}

bool FirmwareUpdate::startFirmware(const UfHeader& header) {
    sink_.appendLog(kLogRun);
    return link_.Run(&header);
}

void FirmwareUpdate::succeed(const UfHeader& header, std::uint32_t blocks) {
    showProgress(static_cast<int>(blocks) + kProgressStarted);
    sink_.appendLog(kLogSucceeded);
    // The main window's link still holds the device it had before the update (now gone); its
    // next access must look for the new firmware's identity.
    host_.handBack(header.vid, header.pid);
}

// The link is closed, so a new update starts from a fresh Connect; a device left in its boot
// loader is found there directly.
UpdateOutcome FirmwareUpdate::failureEnd(std::string_view text, UpdateOutcome outcome) {
    sink_.appendLog(text);
    link_.Close();
    return outcome;
}

void FirmwareUpdate::showProgress(int position) {
    sink_.setProgress(position);
    sink_.repaintProgress();
}

}  // namespace tessik
