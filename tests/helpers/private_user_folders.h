#pragma once

#include "helpers/scoped_environment.h"
#include "helpers/temporary_folder.h"

namespace brontal::test {

// Points the user's data, configuration and state folders into a fresh
// temporary folder while the object lives: what a test makes there (profiles,
// settings) never reaches the real ones, nor another test running meanwhile.
class PrivateUserFolders {
 public:
  PrivateUserFolders() = default;
  PrivateUserFolders(const PrivateUserFolders&) = delete;
  PrivateUserFolders& operator=(const PrivateUserFolders&) = delete;

  const std::filesystem::path& path() const { return folder_.path(); }

 private:
  TemporaryFolder folder_{"brontal_user"};
  ScopedEnvironment variables_{{{"XDG_DATA_HOME", (folder_.path() / "XDG_DATA_HOME").string()},
                                {"XDG_CONFIG_HOME", (folder_.path() / "XDG_CONFIG_HOME").string()},
                                {"XDG_STATE_HOME", (folder_.path() / "XDG_STATE_HOME").string()}}};
};

}  // namespace brontal::test
