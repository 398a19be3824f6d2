#pragma once

#include <stdlib.h>

#include <array>
#include <optional>
#include <string>

#include "helpers/temporary_folder.h"

namespace brontal::test {

// Points the user's data, configuration and state folders into a fresh
// temporary folder while the object lives: what a test makes there (profiles,
// settings) never reaches the real ones, nor another test running meanwhile.
class PrivateUserFolders {
 public:
  PrivateUserFolders() {
    for (std::size_t i = 0; i < kVariables.size(); ++i) {
      if (const char* value = ::getenv(kVariables[i])) saved_[i] = value;
      ::setenv(kVariables[i], (folder_.path() / kVariables[i]).c_str(), 1);
    }
  }
  ~PrivateUserFolders() {
    for (std::size_t i = 0; i < kVariables.size(); ++i) {
      if (saved_[i])
        ::setenv(kVariables[i], saved_[i]->c_str(), 1);
      else
        ::unsetenv(kVariables[i]);
    }
  }
  PrivateUserFolders(const PrivateUserFolders&) = delete;
  PrivateUserFolders& operator=(const PrivateUserFolders&) = delete;

  const std::filesystem::path& path() const { return folder_.path(); }

 private:
  static constexpr std::array<const char*, 3> kVariables = {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME"};

  TemporaryFolder folder_{"brontal_user"};
  std::array<std::optional<std::string>, kVariables.size()> saved_;
};

}  // namespace brontal::test
