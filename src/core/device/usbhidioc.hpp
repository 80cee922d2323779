#pragma once
// CUsbhidioc: the link to the receiver in its normal mode. It finds the device by vendor and
// product ID, keeps one open device, moves feature report 1 both ways with the retries the
// device has always been driven with, and reconnects on the next transfer after a failure. What
// became of the last transfer is its outcome(); the window and the command line tell the user.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "core/device/clock.hpp"
#include "core/device/device_outcome.hpp"
#include "core/device/frame_layout.hpp"
#include "core/device/hid_transport.hpp"

namespace tessik {

inline constexpr std::uint16_t kVendorId = 0x07F7;
inline constexpr std::uint16_t kProductIdNormal = 0x0021;
inline constexpr std::uint16_t kProductIdAlternate = 0x0019;
inline constexpr std::uint16_t kProductIdUpdater = 0x0018;

// Retries of a failed transfer: ten more attempts, 100 ms apart.
inline constexpr int kTransferRetries = 10;
inline constexpr std::uint32_t kRetryPauseMs = 100;

class CUsbhidioc {
  public:
    CUsbhidioc(HidTransport& transport, Clock& clock) : transport_(transport), clock_(clock) {}

    std::uint16_t vendorId = kVendorId;
    std::uint16_t productId = kProductIdNormal;

    // Looks for the first present device with vendorId/productId that can be opened; true when
    // connected. Devices that cannot be opened are skipped.
    bool Open();
    // After an Open that found nothing: a matching device was there, but this user may not
    // open it. A transfer then reports NoPermission instead of NotConnected.
    bool accessDenied() const { return accessDenied_; }

    // Sends frame[0..featureReportLength) as feature report 1 (byte 0 set to 1). Up to 11
    // attempts 100 ms apart; after the last failure the link disconnects (TransferFailed, or
    // DeviceGone when the device has left the bus).
    bool SetFeature(std::span<std::uint8_t> frame);

    // Reads feature report 1 into frame; true only when its status (byte 3) is ACK. NAK keeps
    // the device; a busy status is read again, up to ten reads in all (then NoReply).
    bool GetFeature(std::span<std::uint8_t> frame);

    // What became of the last transfer: None after an acknowledged one.
    const DeviceOutcome& outcome() const { return outcome_; }

    // Closes the device; the next transfer searches again.
    void Disconnect();

    bool connected() const { return connected_; }
    std::size_t featureReportLength() const { return featureReportLength_; }
    // The device the link holds (its path as the transport names it); empty when none.
    const std::string& devicePath() const { return devicePath_; }

  private:
    bool ensureConnected();
    bool failed(DeviceError error);
    bool lostDevice();
    void dropDevice();

    HidTransport& transport_;
    Clock& clock_;
    std::unique_ptr<HidDevice> device_;
    std::string devicePath_;
    DeviceOutcome outcome_;
    bool connected_ = false;
    bool accessDenied_ = false;
    std::size_t featureReportLength_ = 0;
};

}  // namespace tessik
