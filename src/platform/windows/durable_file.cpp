// Saving on Windows:
//
//  1. A name Windows keeps for a device (CON, NUL, COM1, ... with any extension) is refused:
//     "saving" there would write into the device, or into nothing.
//  2. A folder, a read-only file, or one that another program holds open without sharing it is
//     refused with the system's text, as writing it in place would be (a move over a file that
//     someone has open only fails at the very end otherwise).
//  3. The content goes to a new file in the same folder, created under a name of its own
//     (CREATE_NEW: a name already taken, by another save or by anyone, is passed over), and is
//     flushed to the disk (FlushFileBuffers).
//  4. It is moved over the target with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH, which
//     returns only when the move itself is on the disk.
//
// Paths are UTF-16 from end to end, and a path longer than MAX_PATH reaches the file system in
// its "\\?\" form, so it is saved whole or refused with the system's text, never cut short.

#include <windows.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cwctype>
#include <random>
#include <string_view>
#include <system_error>

#include "platform/durable_file.hpp"
#include "platform/windows/system_text.hpp"

namespace tessik::platform {
namespace {

namespace fs = std::filesystem;

// Names already taken (by another save, or planted) before one is free.
constexpr int kMaxNameAttempts = 100;
// Room for the prefix and suffix of a temporary name within the 255 UTF-16 units of a name.
constexpr std::size_t kMaxBaseNameLength = 200;
// Paths from this length on go to the system in the "\\?\" form: MAX_PATH counts the closing
// zero, and the temporary name beside the target is longer than the target's own.
constexpr std::size_t kPlainPathLimit = MAX_PATH - 40;

bool isReservedDeviceName(const fs::path& file) {
    // The part before the first dot, trailing spaces and dots ignored, case-insensitive.
    std::wstring stem = file.filename().native();
    stem = stem.substr(0, stem.find(L'.'));
    while (!stem.empty() && stem.back() == L' ')
        stem.pop_back();
    for (wchar_t& c : stem)
        c = static_cast<wchar_t>(std::towupper(c));
    static constexpr std::array<std::wstring_view, 4> kPlain = {L"CON", L"PRN", L"AUX", L"NUL"};
    for (const std::wstring_view name : kPlain) {
        if (stem == name) return true;
    }
    return stem.size() == 4 && (stem.starts_with(L"COM") || stem.starts_with(L"LPT")) &&
           stem[3] >= L'1' && stem[3] <= L'9';
}

// The absolute path as the system takes it: "\\?\C:\..." or "\\?\UNC\server\..." when long.
std::wstring systemPath(const fs::path& path) {
    const std::wstring& given = path.native();
    const DWORD size = ::GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    if (size == 0 || ::GetFullPathNameW(given.c_str(), size, full.data(), nullptr) == 0) {
        return given;
    }
    full.resize(full.find(L'\0'));
    if (full.size() < kPlainPathLimit || full.starts_with(L"\\\\?\\")) return full;
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

// False with the reason in `error` when `file` is there and may not be replaced.
bool inspect(const std::wstring& file, std::string& error) {
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD err = ::GetLastError();
        if (err == ERROR_FILE_NOT_FOUND) return true;  // a new file
        error = systemErrorText(err);
        return false;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = std::generic_category().message(EISDIR);  // what Linux says too
        return false;
    }
    // Windows refuses to write a read-only file; said here in so many words, as not every
    // file system behind the calls below enforces it (wine's does not for root).
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        error = systemErrorText(ERROR_ACCESS_DENIED);
        return false;
    }
    // Opened for writing only to learn whether we may, and whether another program keeps it
    // open without sharing; nothing is written through this handle.
    const HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = systemErrorText(::GetLastError());
        return false;
    }
    ::CloseHandle(h);
    return true;
}

// The temporary file until it has been moved into place: removed on every way out before.
class Temporary {
  public:
    ~Temporary() {
        if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
        if (!path_.empty()) ::DeleteFileW(path_.c_str());
    }

    bool create(const fs::path& file, const NameSuffixes& suffixes, DWORD& err) {
        for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
            const std::wstring candidate = systemPath(temporaryName(file, suffixes()));
            handle_ = ::CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle_ != INVALID_HANDLE_VALUE) {
                path_ = candidate;
                return true;
            }
            err = ::GetLastError();
            if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) return false;
        }
        return false;
    }

    bool write(std::span<const std::uint8_t> content, DWORD& err) {
        while (!content.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size(), 1u << 20));
            DWORD written = 0;
            if (!::WriteFile(handle_, content.data(), chunk, &written, nullptr) || written == 0) {
                err = ::GetLastError();
                return false;
            }
            content = content.subspan(written);
        }
        return true;
    }

    // Flushes and closes; the data is on the disk before the name points at it.
    bool finish(DWORD& err) {
        const bool flushed = ::FlushFileBuffers(handle_) != 0;
        if (!flushed) err = ::GetLastError();
        const HANDLE h = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        if (!::CloseHandle(h) && flushed) {
            err = ::GetLastError();
            return false;
        }
        return flushed;
    }

    bool moveOnto(const std::wstring& file, DWORD& err) {
        if (!::MoveFileExW(path_.c_str(), file.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            err = ::GetLastError();
            return false;
        }
        path_.clear();  // it is the file now
        return true;
    }

  private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    std::wstring path_;
};

}  // namespace

std::string randomNameSuffix() {
    static std::atomic<std::uint64_t> counter{0};
    std::random_device random;  // the system's generator (rand_s)
    const std::uint64_t bits = (std::uint64_t{random()} << 32) ^ random() ^ ++counter;
    char suffix[17];
    std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(bits));
    return suffix;
}

fs::path temporaryName(const fs::path& file, const std::string& suffix) {
    std::wstring base = file.filename().native();
    if (base.size() > kMaxBaseNameLength) {
        base.resize(kMaxBaseNameLength);
        // Never half a character: a lone high surrogate is no valid name.
        if (base.back() >= 0xD800 && base.back() <= 0xDBFF) base.pop_back();
    }
    return file.parent_path() / (L"." + base + L"." + wideFromUtf8(suffix) + L".tmp");
}

Replacement replaceFileDurably(const fs::path& target, std::span<const std::uint8_t> content,
                               const NameSuffixes& suffixes) {
    Replacement result;
    if (isReservedDeviceName(target)) {
        result.error = "not a regular file";
        return result;
    }
    const std::wstring file = systemPath(target);
    if (!inspect(file, result.error)) return result;
    DWORD err = 0;
    auto fail = [&] {
        result.error = systemErrorText(err);
        return result;
    };

    Temporary temp;
    if (!temp.create(target, suffixes, err)) return fail();
    if (!temp.write(content, err)) return fail();
    if (!temp.finish(err)) return fail();
    if (!temp.moveOnto(file, err)) return fail();
    result.ok = true;
    return result;
}

}  // namespace tessik::platform
