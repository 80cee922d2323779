#include "hid/linux/uhid_device.hpp"

#include <fcntl.h>
#include <linux/uhid.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tessik::hid {
namespace {

constexpr std::uint16_t kBusUsb = 0x03;
// /dev/uhid is the misc character device with the minor number the kernel reserves for it.
constexpr unsigned kMiscMajor = 10;
constexpr unsigned kUhidMinor = 239;
constexpr const char* kNotUhid = "not the kernel's uhid device (character device 10:239)";

bool isUhid(const struct stat& st) {
    return S_ISCHR(st.st_mode) && st.st_rdev == makedev(kMiscMajor, kUhidMinor);
}

bool writeEvent(int fd, const uhid_event& ev) {
    ssize_t n = 0;
    do {
        n = ::write(fd, &ev, sizeof ev);
    } while (n < 0 && errno == EINTR);
    return n == static_cast<ssize_t>(sizeof ev);
}

// The feature report's main item: report ID 1, `featureReportLength - 1` bytes.
void appendFeatureReport(std::vector<std::uint8_t>& d, std::size_t featureReportLength,
                         std::uint8_t usage) {
    const auto count = static_cast<std::uint16_t>(featureReportLength - 1);
    const std::uint8_t item[] = {0x85,
                                 0x01,  // Report ID (1)
                                 0x09,
                                 usage,  // Usage
                                 0x15,
                                 0x00,  // Logical Minimum (0)
                                 0x26,
                                 0xFF,
                                 0x00,  // Logical Maximum (255)
                                 0x75,
                                 0x08,  // Report Size (8)
                                 0x96,
                                 static_cast<std::uint8_t>(count & 0xFF),
                                 static_cast<std::uint8_t>(count >> 8),  // Report Count
                                 0xB1,
                                 0x02};  // Feature (Data, Variable, Absolute)
    for (const std::uint8_t b : item)
        d.push_back(b);
}

}  // namespace

std::vector<std::uint8_t> receiverReportDescriptor(std::size_t featureReportLength) {
    std::vector<std::uint8_t> d = {
        0x05, 0x01, 0x09, 0x06, 0xA1, 0x01,  // Generic Desktop, Keyboard, Collection
        0x85, 0x02,                          //   Report ID (2)
        0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7,  //   modifier keys
        0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01,
        0x75, 0x08, 0x81, 0x01,                                                  //   reserved byte
        0x95, 0x05, 0x75, 0x01, 0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02,  // LEDs
        0x95, 0x01, 0x75, 0x03, 0x91, 0x01,                                      //   padding
        0x95, 0x06, 0x75, 0x08, 0x15, 0x00, 0x25, 0x65,                          // six key codes
        0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00,
        0xC0,                                      // End Collection
        0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,  // Vendor 0xFF00, Collection
    };
    appendFeatureReport(d, featureReportLength, 0x02);
    d.push_back(0xC0);
    return d;
}

std::vector<std::uint8_t> bootLoaderReportDescriptor(std::size_t featureReportLength) {
    std::vector<std::uint8_t> d = {
        0x06, 0xA0, 0xFF, 0x09, 0x01, 0xA1, 0x01,  // Vendor 0xFFA0, Collection
        0x85, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75,
        0x08, 0x95, 0x40, 0x09, 0x03, 0x81, 0x02,  // 64-byte input report
        0x95, 0x40, 0x09, 0x04, 0x91, 0x02,        // 64-byte output report
    };
    // The feature report shares report ID 1 and the item state set above.
    const auto count = static_cast<std::uint16_t>(featureReportLength - 1);
    const std::uint8_t feature[] = {0x96,
                                    static_cast<std::uint8_t>(count & 0xFF),
                                    static_cast<std::uint8_t>(count >> 8),
                                    0x09,
                                    0x05,
                                    0xB1,
                                    0x02};
    for (const std::uint8_t b : feature)
        d.push_back(b);
    d.push_back(0xC0);
    return d;
}

UhidDevice::~UhidDevice() {
    destroy();
}

std::string uhidNodeProblem(const std::string& node) {
    struct stat st {};
    if (::stat(node.c_str(), &st) != 0) return std::strerror(errno);
    return isUhid(st) ? std::string() : kNotUhid;
}

bool UhidDevice::create(const UhidIdentity& identity, std::string& error, const std::string& node) {
    destroy();
    fd_ = ::open(node.c_str(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0) {
        error = node + ": " + std::strerror(errno);
        return false;
    }
    // Checked on the node opened, not only on its name: any other file would take the device's
    // creation without a word and then answer nothing.
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !isUhid(st)) {
        error = node + ": " + kNotUhid;
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    uhid_event ev{};
    ev.type = UHID_CREATE2;
    const std::size_t nameLength = std::min(identity.name.size(), sizeof ev.u.create2.name - 1);
    std::copy_n(identity.name.begin(), nameLength, ev.u.create2.name);
    const std::size_t size =
        std::min(identity.reportDescriptor.size(), sizeof ev.u.create2.rd_data);
    std::copy_n(identity.reportDescriptor.begin(), size, ev.u.create2.rd_data);
    ev.u.create2.rd_size = static_cast<__u16>(size);
    ev.u.create2.bus = kBusUsb;
    ev.u.create2.vendor = identity.vendorId;
    ev.u.create2.product = identity.productId;
    if (!writeEvent(fd_, ev)) {
        error = node + ": the kernel refused the new device (" + std::strerror(errno) + ")";
        destroy();
        return false;
    }
    return true;
}

void UhidDevice::destroy() {
    if (fd_ < 0) return;
    uhid_event ev{};
    ev.type = UHID_DESTROY;
    writeEvent(fd_, ev);
    ::close(fd_);
    fd_ = -1;
}

bool UhidDevice::serve(int timeoutMs, const GetFeature& get, const SetFeature& set) {
    if (fd_ < 0) return false;
    pollfd p{fd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, timeoutMs);
    if (ready < 0) return errno == EINTR;
    if (ready == 0) return true;
    if ((p.revents & (POLLERR | POLLHUP)) != 0) return false;
    uhid_event ev{};
    const ssize_t n = ::read(fd_, &ev, sizeof ev);
    if (n < 0) return errno == EINTR || errno == EAGAIN;
    // The kernel hands over whole events; an end of file or a piece means the node is gone.
    if (static_cast<std::size_t>(n) < sizeof ev.type) return false;
    switch (ev.type) {
        case UHID_GET_REPORT: {
            uhid_event reply{};
            reply.type = UHID_GET_REPORT_REPLY;
            reply.u.get_report_reply.id = ev.u.get_report.id;
            std::vector<std::uint8_t> report{ev.u.get_report.rnum};
            const bool ok = ev.u.get_report.rtype == UHID_FEATURE_REPORT && get && get(report);
            if (ok) {
                const std::size_t size =
                    std::min(report.size(), sizeof reply.u.get_report_reply.data);
                std::copy_n(report.begin(), size, reply.u.get_report_reply.data);
                reply.u.get_report_reply.size = static_cast<__u16>(size);
            } else {
                reply.u.get_report_reply.err = EIO;
            }
            return writeEvent(fd_, reply);
        }
        case UHID_SET_REPORT: {
            uhid_event reply{};
            reply.type = UHID_SET_REPORT_REPLY;
            reply.u.set_report_reply.id = ev.u.set_report.id;
            const std::size_t size =
                std::min<std::size_t>(ev.u.set_report.size, sizeof ev.u.set_report.data);
            const bool ok = ev.u.set_report.rtype == UHID_FEATURE_REPORT && set &&
                            set(std::span<const std::uint8_t>(ev.u.set_report.data, size));
            reply.u.set_report_reply.err = ok ? 0 : EIO;
            return writeEvent(fd_, reply);
        }
        default:
            return true;  // start, stop, open, close, output: nothing to answer
    }
}

}  // namespace tessik::hid
