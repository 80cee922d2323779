#pragma once
// CUsbhidioc: the link to the receiver in its normal mode. It finds the device by vendor and
// product ID, keeps one open device, moves feature report 1 both ways with the retries the
// device has always been driven with, shows its own failure messages and reconnects on the next
// transfer after a failure.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "core/device/clock.hpp"
#include "core/device/frame_layout.hpp"
#include "core/device/hid_transport.hpp"
#include "core/device/notifier.hpp"

namespace tessik {

inline constexpr std::uint16_t kVendorId = 0x07F7;
inline constexpr std::uint16_t kProductIdNormal = 0x0021;
inline constexpr std::uint16_t kProductIdAlternate = 0x0019;
inline constexpr std::uint16_t kProductIdUpdater = 0x0018;

// The link's own two messages, shown in Japanese whatever the UI language: that is how the
// receiver's users have always seen them.
inline constexpr std::string_view kLinkNotConnectedText = "デバイスが接続されていません";
inline constexpr std::string_view kLinkNakText = "赤外線データが取得されていません";
// What they say, for a program whose every other text is English (the command line).
inline constexpr std::string_view kLinkNotConnectedTextEnglish = "The device is not connected.";
inline constexpr std::string_view kLinkNakTextEnglish = "The infrared data has not been obtained.";

// Retries of a failed transfer: ten more attempts, 100 ms apart.
inline constexpr int kTransferRetries = 10;
inline constexpr std::uint32_t kRetryPauseMs = 100;

class CUsbhidioc {
  public:
    CUsbhidioc(HidTransport& transport, Clock& clock, Notifier& notifier)
        : transport_(transport), clock_(clock), notifier_(notifier) {}

    std::uint16_t vendorId = kVendorId;
    std::uint16_t productId = kProductIdNormal;

    // Looks for the first present device with vendorId/productId that can be opened; true when
    // connected. Devices that cannot be opened are skipped.
    bool Open();
    // After an Open that found nothing: a matching device was there, but this user may not
    // open it. A transfer then says so (string 149) instead of "not connected".
    bool accessDenied() const { return accessDenied_; }

    // Sends frame[0..featureReportLength) as feature report 1 (byte 0 set to 1). Up to 11
    // attempts 100 ms apart; the last failure is shown and disconnects.
    bool SetFeature(std::span<std::uint8_t> frame);

    // Reads feature report 1 into frame; true only when its status (byte 3) is ACK. NAK is
    // shown; a busy status is read again, up to ten reads in all, then false without a message.
    bool GetFeature(std::span<std::uint8_t> frame);

    // Closes the device; the next transfer searches again.
    void Disconnect();

    bool connected() const { return connected_; }
    std::size_t featureReportLength() const { return featureReportLength_; }

  private:
    bool ensureConnected();
    void showError(std::string_view text);
    void dropDevice();

    HidTransport& transport_;
    Clock& clock_;
    Notifier& notifier_;
    std::unique_ptr<HidDevice> device_;
    bool connected_ = false;
    bool accessDenied_ = false;
    std::size_t featureReportLength_ = 0;
};

}  // namespace tessik
