#pragma once
// A fresh directory per test (mkdtemp: unique even when test programs run in parallel),
// removed afterwards.

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace tessik::test {

class TempDir {
  public:
    TempDir() {
        std::string name = (std::filesystem::temp_directory_path() / "tessik-test-XXXXXX").string();
        if (::mkdtemp(name.data()) == nullptr) std::abort();  // no folder to test in
        path_ = name;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

}  // namespace tessik::test
