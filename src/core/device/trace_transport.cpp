#include "core/device/trace_transport.hpp"

#include <cerrno>
#include <string>
#include <system_error>

namespace tessik {
namespace {

class TracingDevice : public HidDevice {
  public:
    TracingDevice(std::unique_ptr<HidDevice> inner, std::ostream& out, std::string& writeError)
        : inner_(std::move(inner)), out_(out), writeError_(writeError) {}

    std::size_t featureReportLength() const override { return inner_->featureReportLength(); }

    bool setFeature(std::span<const std::uint8_t> report) override {
        const bool ok = inner_->setFeature(report);
        write("set", report, ok);
        return ok;
    }

    bool getFeature(std::span<std::uint8_t> report) override {
        const bool ok = inner_->getFeature(report);
        write("get", report, ok);
        return ok;
    }

    std::string lastError() const override { return inner_->lastError(); }

  private:
    void write(std::string_view direction, std::span<const std::uint8_t> report, bool ok) {
        if (!writeError_.empty()) return;
        errno = 0;
        out_ << traceLine(direction, report, ok) << '\n';
        out_.flush();  // a trace is read after a crash or an interrupted run as well
        // The stream keeps no reason; the failed write's is still in errno.
        if (!out_) writeError_ = std::generic_category().message(errno != 0 ? errno : EIO);
    }

    std::unique_ptr<HidDevice> inner_;
    std::ostream& out_;
    std::string& writeError_;
};

}  // namespace

std::unique_ptr<HidDevice> TracingTransport::open(const HidDeviceInfo& info) {
    std::unique_ptr<HidDevice> device = inner_.open(info);
    if (!device) return nullptr;
    return std::make_unique<TracingDevice>(std::move(device), out_, writeError_);
}

std::string traceLine(std::string_view direction, std::span<const std::uint8_t> report,
                      bool delivered) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string line;
    line.reserve(direction.size() + 1 + 2 * report.size() + 7);
    line.append(direction);
    line.push_back(' ');
    for (std::uint8_t b : report) {
        line.push_back(kDigits[b >> 4]);
        line.push_back(kDigits[b & 0x0F]);
    }
    if (!delivered) line.append(" failed");
    return line;
}

}  // namespace tessik
