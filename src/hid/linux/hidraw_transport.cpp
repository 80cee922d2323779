// The one place that issues hidraw ioctls.

#include "hid/linux/hidraw_transport.hpp"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "hid/linux/report_descriptor.hpp"
#include "hid/system_transport.hpp"

namespace tessik::hid {
namespace {

namespace fs = std::filesystem;

std::optional<std::uint32_t> hexField(std::string_view s) {
    std::uint32_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 16);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
    return v;
}

std::optional<std::vector<std::uint8_t>> readBinaryFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

std::optional<std::string> readTextFile(const fs::path& path) {
    std::ifstream in(path);
    if (!in) return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return text;
}

// "hidraw12" -> 12; anything else sorts last.
unsigned long nodeNumber(const std::string& name) {
    constexpr std::string_view prefix = "hidraw";
    unsigned long n = 0;
    if (name.size() <= prefix.size()) return ~0ul;
    const char* first = name.data() + prefix.size();
    const auto [end, ec] = std::from_chars(first, name.data() + name.size(), n);
    if (ec != std::errc() || end != name.data() + name.size()) return ~0ul;
    return n;
}

std::string errnoText(int error) {
    return std::system_category().message(error);
}

// An ioctl interrupted by a signal before it did anything is simply asked again.
template <typename Arg>
int ioctlRetrying(int fd, unsigned long request, Arg arg) {
    int n = 0;
    do {
        n = ::ioctl(fd, request, arg);
    } while (n < 0 && errno == EINTR);
    return n;
}

class HidrawDevice : public HidDevice {
  public:
    HidrawDevice(int fd, std::size_t length) : fd_(fd), length_(length) {}
    ~HidrawDevice() override { ::close(fd_); }
    HidrawDevice(const HidrawDevice&) = delete;
    HidrawDevice& operator=(const HidrawDevice&) = delete;

    std::size_t featureReportLength() const override { return length_; }

    bool setFeature(std::span<const std::uint8_t> report) override {
        if (report.size() != length_) return fail(EINVAL);
        // The ioctl's argument is not const, but the kernel only reads the buffer for a set.
        const int n = ioctlRetrying(fd_, HIDIOCSFEATURE(report.size()),
                                    const_cast<std::uint8_t*>(report.data()));
        return checkCount(n, report.size());
    }

    bool getFeature(std::span<std::uint8_t> report) override {
        if (report.size() != length_) return fail(EINVAL);
        const int n = ioctlRetrying(fd_, HIDIOCGFEATURE(report.size()), report.data());
        return checkCount(n, report.size());
    }

    std::string lastError() const override { return lastError_; }

  private:
    bool fail(int error) {
        lastError_ = errnoText(error);
        return false;
    }

    // The kernel returns the bytes moved, report ID included; a device that moved fewer than
    // the whole report has not done what was asked.
    bool checkCount(int n, std::size_t expected) {
        if (n < 0) return fail(errno);
        if (static_cast<std::size_t>(n) != expected) {
            lastError_ = "The device transferred " + std::to_string(n) + " of " +
                         std::to_string(expected) + " bytes.";
            return false;
        }
        return true;
    }

    int fd_;
    std::size_t length_;
    std::string lastError_;
};

// The descriptor straight from the device, for a node whose sysfs entry does not offer it.
std::optional<std::size_t> ioctlFeatureReportLength(int fd) {
    int size = 0;
    if (ioctlRetrying(fd, HIDIOCGRDESCSIZE, &size) < 0 || size <= 0 ||
        size > HID_MAX_DESCRIPTOR_SIZE) {
        return std::nullopt;
    }
    hidraw_report_descriptor desc{};
    desc.size = static_cast<std::uint32_t>(size);
    if (ioctlRetrying(fd, HIDIOCGRDESC, &desc) < 0) return std::nullopt;
    return featureReportLength(std::span(desc.value, desc.size));
}

}  // namespace

std::optional<HidId> parseHidIdFromUevent(std::string_view uevent) {
    constexpr std::string_view key = "HID_ID=";
    while (!uevent.empty()) {
        const std::size_t eol = uevent.find('\n');
        std::string_view line = uevent.substr(0, eol);
        uevent = eol == std::string_view::npos ? std::string_view{} : uevent.substr(eol + 1);
        if (!line.starts_with(key)) continue;
        line.remove_prefix(key.size());
        // bus:vendor:product, e.g. 0003:000007F7:00000021
        const std::size_t c1 = line.find(':');
        const std::size_t c2 = c1 == std::string_view::npos ? c1 : line.find(':', c1 + 1);
        if (c2 == std::string_view::npos) return std::nullopt;
        const auto vendor = hexField(line.substr(c1 + 1, c2 - c1 - 1));
        const auto product = hexField(line.substr(c2 + 1));
        if (!hexField(line.substr(0, c1)) || !vendor || !product || *vendor > 0xFFFF ||
            *product > 0xFFFF) {
            return std::nullopt;
        }
        return HidId{static_cast<std::uint16_t>(*vendor), static_cast<std::uint16_t>(*product)};
    }
    return std::nullopt;
}

HidrawTransport::HidrawTransport(fs::path sysfsRoot, fs::path devRoot)
    : sysfsRoot_(std::move(sysfsRoot)), devRoot_(std::move(devRoot)) {}

std::vector<HidDeviceInfo> HidrawTransport::enumerate(std::uint16_t vendorId,
                                                      std::uint16_t productId) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(sysfsRoot_ / "class" / "hidraw", ec), end; !ec && it != end;
         it.increment(ec)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const auto na = nodeNumber(a), nb = nodeNumber(b);
        return na != nb ? na < nb : a < b;
    });

    std::vector<HidDeviceInfo> found;
    for (const std::string& name : names) {
        const auto uevent =
            readTextFile(sysfsRoot_ / "class" / "hidraw" / name / "device" / "uevent");
        if (!uevent) continue;
        const auto id = parseHidIdFromUevent(*uevent);
        if (!id || id->vendorId != vendorId || id->productId != productId) continue;
        found.push_back(HidDeviceInfo{(devRoot_ / name).string(), id->vendorId, id->productId});
    }
    return found;
}

std::optional<std::size_t> HidrawTransport::sysfsFeatureReportLength(
    const fs::path& devicePath) const {
    const auto descriptor = readBinaryFile(sysfsRoot_ / "class" / "hidraw" / devicePath.filename() /
                                           "device" / "report_descriptor");
    if (!descriptor) return std::nullopt;
    return featureReportLength(*descriptor);
}

BareHidrawNode::BareHidrawNode(const std::filesystem::path& node)
    : fd_(::open(node.c_str(), O_RDWR | O_CLOEXEC)) {}

BareHidrawNode::~BareHidrawNode() {
    if (fd_ >= 0) ::close(fd_);
}

bool BareHidrawNode::roundTrip(std::span<std::uint8_t> set, std::span<std::uint8_t> get) {
    return ::ioctl(fd_, HIDIOCSFEATURE(set.size()), set.data()) == static_cast<int>(set.size()) &&
           ::ioctl(fd_, HIDIOCGFEATURE(get.size()), get.data()) == static_cast<int>(get.size());
}

std::unique_ptr<HidDevice> HidrawTransport::open(const HidDeviceInfo& info) {
    lastOpenError_ = OpenError::Unavailable;
    int fd = -1;
    do {
        fd = ::open(info.path.c_str(), O_RDWR | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        // A node that is there but refused is not absence: the user needs the udev rule, and
        // is told so instead of "not connected".
        if (errno == EACCES || errno == EPERM) lastOpenError_ = OpenError::PermissionDenied;
        return nullptr;
    }
    std::optional<std::size_t> length = sysfsFeatureReportLength(info.path);
    if (!length) length = ioctlFeatureReportLength(fd);
    if (!length) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<HidrawDevice>(fd, *length);
}

std::unique_ptr<HidTransport> makeSystemTransport() {
    return std::make_unique<HidrawTransport>();
}

}  // namespace tessik::hid
