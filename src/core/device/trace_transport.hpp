#pragma once
// A transport that writes every feature-report transfer of the transport it wraps to a text
// stream, one line per transfer: "set" or "get", a space, the whole report as lower-case hex.
// A transfer that the platform refused gets " failed" after its bytes (for a refused read, the
// bytes are the buffer as it was sent down, report ID first).

#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "core/device/hid_transport.hpp"

namespace tessik {

class TracingTransport : public HidTransport {
  public:
    // Both `inner` and `out` must outlive the transport and every device it opens.
    TracingTransport(HidTransport& inner, std::ostream& out) : inner_(inner), out_(out) {}

    std::vector<HidDeviceInfo> enumerate(std::uint16_t vendorId, std::uint16_t productId) override {
        return inner_.enumerate(vendorId, productId);
    }
    std::unique_ptr<HidDevice> open(const HidDeviceInfo& info) override;
    OpenError lastOpenError() const override { return inner_.lastOpenError(); }

    // Why the trace stopped being written (a full disk), or empty while every line got out. The
    // transfers go on all the same: a trace that fails must not break off a firmware update.
    const std::string& writeError() const { return writeError_; }

  private:
    HidTransport& inner_;
    std::ostream& out_;
    std::string writeError_;
};

// One trace line without its line end: "set 01000008...", with " failed" when !delivered.
std::string traceLine(std::string_view direction, std::span<const std::uint8_t> report,
                      bool delivered);

}  // namespace tessik
