#pragma once
// A fresh directory per test, removed afterwards. Its name is random and made with
// create_directory, which fails for a name that is taken: unique even when test programs run in
// parallel, on every system.

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace tessik::test {

class TempDir {
  public:
    TempDir() {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const auto candidate = std::filesystem::temp_directory_path() /
                                   ("tessik-test-" + std::to_string(random()));
            std::error_code ec;
            if (std::filesystem::create_directory(candidate, ec)) path_ = candidate;
        }
        if (path_.empty()) std::abort();  // no folder to test in
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
