#pragma once
// The firmware update: reach the boot loader, check that image and boot loader belong together,
// unlock and erase the flash, write the image in 256-byte blocks, compare the device's CRC-16,
// start the new firmware and hand the device back to the main window's link.
//
// The procedure writes a running log and moves a progress bar through an UpdateSink (the update
// dialog, or a terminal), reaches the main window through an UpdateHost and reports how it
// ended; the dialog or the terminal shows the outcome (updateVerdict). The log texts carry their
// own "\r\n" line ends; a step's text without one is completed by its result on the same line, so a
// successful update leaves six lines:
//
//   Flash Unlock...OK
//   Flash Erase .OK
//   Writing...
//   OK
//   CRC16 check...OK
//   Run UF...OK. Firmware update succeeded.

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/device/clock.hpp"
#include "core/device/commands.hpp"
#include "core/device/device_outcome.hpp"
#include "core/device/notifier.hpp"
#include "core/device/usbhidioc.hpp"
#include "core/firmware/image_file.hpp"
#include "core/firmware/updater_link.hpp"
#include "core/text/language.hpp"
#include "core/text/strings.hpp"

namespace tessik {

// Where the log and the progress go.
class UpdateSink {
  public:
    virtual ~UpdateSink() = default;
    // Adds `text` at the end of the log and shows it at once.
    virtual void appendLog(std::string_view text) = 0;
    virtual void setProgressRange(int lowest, int highest) = 0;
    virtual void setProgress(int position) = 0;
    // Redraws the progress bar now (the update blocks the thread that would otherwise do it).
    virtual void repaintProgress() = 0;
};

// The main window as the update sees it.
class UpdateHost {
  public:
    virtual ~UpdateHost() = default;
    // The main window's copy of the running firmware's uf_header: all zero until a device in its
    // application mode answered Get Version, vid/pid 0x07F7/0x0018 when only a device waiting
    // for an update was found at start-up. Its vid/pid are the first identity tried.
    virtual UfHeader runningFirmware() const = 0;
    // After a successful update: let go of the application-mode device (it has become the new
    // firmware) and look for it as vid/pid from now on. runningFirmware() tells the new one
    // afterwards, as far as the new firmware answers.
    virtual void handBack(std::uint16_t vid, std::uint16_t pid) = 0;
};

// The UpdateHost of a main window that keeps its link and its version area: the hand-back
// disconnects the link, points it at the new identity and asks the new firmware for its
// version (quietly: what the update itself says is what the user is told).
class LinkUpdateHost : public UpdateHost {
  public:
    LinkUpdateHost(CUsbhidioc& link, DeviceCommands& commands, VersionArea& versionArea)
        : link_(link), commands_(commands), versionArea_(versionArea) {}
    UfHeader runningFirmware() const override { return decodeUfHeader(versionArea_); }
    void handBack(std::uint16_t vid, std::uint16_t pid) override;

  private:
    CUsbhidioc& link_;
    DeviceCommands& commands_;
    VersionArea& versionArea_;
};

// How an update ended.
enum class UpdateOutcome {
    Succeeded,
    NotConnected,  // no identity led to a boot loader
    TypeMismatch,  // the boot loader is of another generation than the image; nothing written
    UnlockFailed,  // the link is closed after each of these
    EraseFailed,
    WriteFailed,
    CrcCommandFailed,
    CrcMismatch,
    StartFailed,
};

struct UpdateResult {
    UpdateOutcome outcome = UpdateOutcome::NotConnected;
    // What became of the boot loader's last exchange: for NotConnected, whether a device was
    // there that this user may not open (NoPermission); for a failed step, its NAK, silence or
    // the platform's text.
    DeviceOutcome device;
    bool operator==(const UpdateResult&) const = default;
};

// The box that ends an update, with the application's caption and the information icon:
// string 145 "Firmware update succeeded.", string 142 when no boot loader could be reached
// (149 when one was there that this user may not open), string 146 "Firmware update failed."
// for every other end.
Message updateVerdict(const UpdateResult& result, Language language);

// A flash erase is tried this often before the update gives up.
inline constexpr int kEraseAttempts = 3;
// An all-0xFF block is not sent (the erased flash already holds it); the update pauses instead.
inline constexpr std::uint32_t kSkippedBlockPauseMs = 10;

// The progress range of an image: 0 .. blocks + 5, blocks = flash_size / 256.
int updateProgressMaximum(const UfHeader& header);

class FirmwareUpdate {
  public:
    FirmwareUpdate(CUpdaterLink& link, Clock& clock, UpdateSink& sink, UpdateHost& host)
        : link_(link), clock_(clock), sink_(sink), host_(host) {}

    // Writes the loaded image (the buffer FileOpen filled, its CRC completed) of `imageType`
    // into the device. Can be run again after any outcome: a device left in its boot loader is
    // reached there directly.
    UpdateResult Update(ConstImageSpan image, ImageType imageType);

  private:
    UpdateOutcome run(ConstImageSpan image, ImageType imageType);
    ImageType connect(const UfHeader& header);
    bool unlockFlash();
    bool eraseFlash();
    bool writeBlocks(ConstImageSpan image, std::uint32_t blocks);
    UpdateOutcome checkCrc(const UfHeader& header, std::uint32_t blocks);
    bool startFirmware(const UfHeader& header);
    void succeed(const UfHeader& header, std::uint32_t blocks);
    UpdateOutcome failureEnd(std::string_view text, UpdateOutcome outcome);
    void showProgress(int position);

    CUpdaterLink& link_;
    Clock& clock_;
    UpdateSink& sink_;
    UpdateHost& host_;
    bool denied_ = false;  // an identity was found that this user may not open
};

}  // namespace tessik
