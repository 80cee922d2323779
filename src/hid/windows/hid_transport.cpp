// The one place that calls the Windows HID class driver.

#include "hid/windows/hid_transport.hpp"

// windows.h first: the set-up and HID headers build on its types. mingw-w64's HID headers
// declare C functions without saying so to C++.
#include <windows.h>
// clang-format off
extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}
#include <setupapi.h>
// clang-format on

#include <optional>
#include <utility>

#include "hid/system_transport.hpp"
#include "platform/windows/system_text.hpp"

namespace tessik::hid {
namespace {

class Handle {
  public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (valid()) ::CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    HANDLE release() { return std::exchange(h_, INVALID_HANDLE_VALUE); }

  private:
    HANDLE h_;
};

// Opens a collection. With no access rights asked, even the keyboard Windows keeps for itself
// opens, enough to read its attributes and capabilities.
HANDLE openCollection(const std::wstring& path, DWORD access) {
    return ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
}

// The feature report length the collection declares, report ID byte included; 0 for none.
std::optional<std::size_t> featureReportLength(HANDLE h) {
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (!::HidD_GetPreparsedData(h, &preparsed)) return std::nullopt;
    HIDP_CAPS caps{};
    const NTSTATUS status = ::HidP_GetCaps(preparsed, &caps);
    ::HidD_FreePreparsedData(preparsed);
    if (status != HIDP_STATUS_SUCCESS) return std::nullopt;
    return caps.FeatureReportByteLength;
}

// The device paths of the present HID interfaces, in enumeration order.
std::vector<std::wstring> presentInterfacePaths() {
    GUID hidClass;
    ::HidD_GetHidGuid(&hidClass);
    const HDEVINFO set =
        ::SetupDiGetClassDevsW(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    std::vector<std::wstring> paths;
    if (set == INVALID_HANDLE_VALUE) return paths;
    SP_DEVICE_INTERFACE_DATA entry{};
    entry.cbSize = sizeof entry;
    for (DWORD index = 0; ::SetupDiEnumDeviceInterfaces(set, nullptr, &hidClass, index, &entry);
         ++index) {
        DWORD size = 0;
        ::SetupDiGetDeviceInterfaceDetailW(set, &entry, nullptr, 0, &size, nullptr);
        if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
        // Whole DWORDs, so the structure at the front is aligned as the system expects.
        std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD));
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (::SetupDiGetDeviceInterfaceDetailW(set, &entry, detail, size, nullptr, nullptr)) {
            paths.emplace_back(detail->DevicePath);
        }
    }
    ::SetupDiDestroyDeviceInfoList(set);
    return paths;
}

class WindowsHidDevice : public HidDevice {
  public:
    WindowsHidDevice(HANDLE handle, std::size_t length) : handle_(handle), length_(length) {}

    std::size_t featureReportLength() const override { return length_; }

    bool setFeature(std::span<const std::uint8_t> report) override {
        if (report.size() != length_) return fail(ERROR_INVALID_PARAMETER);
        // The call takes a writable buffer, though it only reads it for a set.
        buffer_.assign(report.begin(), report.end());
        if (!::HidD_SetFeature(handle_.get(), buffer_.data(), static_cast<ULONG>(length_))) {
            return fail(::GetLastError());
        }
        return true;
    }

    bool getFeature(std::span<std::uint8_t> report) override {
        if (report.size() != length_) return fail(ERROR_INVALID_PARAMETER);
        if (!::HidD_GetFeature(handle_.get(), report.data(), static_cast<ULONG>(length_))) {
            return fail(::GetLastError());
        }
        return true;
    }

    std::string lastError() const override { return lastError_; }

  private:
    bool fail(DWORD error) {
        lastError_ = platform::systemErrorText(error);
        return false;
    }

    Handle handle_;
    std::size_t length_;
    std::vector<std::uint8_t> buffer_;
    std::string lastError_;
};

}  // namespace

std::vector<HidCollection> presentHidCollections() {
    std::vector<HidCollection> found;
    for (const std::wstring& path : presentInterfacePaths()) {
        HidCollection c;
        c.path = platform::utf8FromWide(path);
        const Handle probe(openCollection(path, 0));
        HIDD_ATTRIBUTES attributes{};
        attributes.Size = sizeof attributes;
        if (probe.valid() && ::HidD_GetAttributes(probe.get(), &attributes)) {
            c.attributesRead = true;
            c.vendorId = attributes.VendorID;
            c.productId = attributes.ProductID;
            c.featureReportLength = featureReportLength(probe.get()).value_or(0);
        }
        found.push_back(std::move(c));
    }
    return found;
}

std::vector<HidDeviceInfo> WindowsHidTransport::enumerate(std::uint16_t vendorId,
                                                          std::uint16_t productId) {
    std::vector<HidDeviceInfo> found;
    for (const HidCollection& c : presentHidCollections()) {
        if (!c.attributesRead || c.vendorId != vendorId || c.productId != productId ||
            c.featureReportLength == 0) {
            continue;
        }
        found.push_back(HidDeviceInfo{c.path, c.vendorId, c.productId});
    }
    return found;
}

std::unique_ptr<HidDevice> WindowsHidTransport::open(const HidDeviceInfo& info) {
    lastOpenError_ = OpenError::Unavailable;
    Handle handle(openCollection(platform::wideFromUtf8(info.path), GENERIC_READ | GENERIC_WRITE));
    if (!handle.valid()) {
        // A collection that is there but refused is not absence; one that another program
        // holds without sharing (ERROR_SHARING_VIOLATION) is simply busy.
        if (::GetLastError() == ERROR_ACCESS_DENIED) lastOpenError_ = OpenError::PermissionDenied;
        return nullptr;
    }
    const std::optional<std::size_t> length = featureReportLength(handle.get());
    if (!length || *length == 0) return nullptr;
    return std::make_unique<WindowsHidDevice>(handle.release(), *length);
}

std::unique_ptr<HidTransport> makeSystemTransport() {
    return std::make_unique<WindowsHidTransport>();
}

// No notice of arrivals here yet (WM_DEVICECHANGE needs a window's message loop): the caller
// compares enumerations, which finds a receiver all the same, a little later.
std::unique_ptr<DeviceWatcher> makeSystemWatcher(std::string& /*why*/) {
    return nullptr;
}

}  // namespace tessik::hid
