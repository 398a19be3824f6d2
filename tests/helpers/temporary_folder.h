#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace brontal::test {

// A fresh folder of the test's own (mode 0700), removed with its content
// afterwards, even when a test took its write permission away.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(std::string_view prefix = "brontal_test") {
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + "_XXXXXX")).string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace brontal::test
