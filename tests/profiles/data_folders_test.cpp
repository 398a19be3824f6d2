#include "profiles/data_folders.h"

#include <gtest/gtest.h>

#include "profiles/scoped_environment.h"
#include "profiles/scratch_folder.h"
#include "support/user_folders.h"

namespace brontal {
namespace {

using testing::ScopedEnvironment;
using testing::ScratchFolder;

TEST(DataFolders, DefaultDataLiesBesideTheProgram) {
  EXPECT_EQ(DefaultDataFolder(), ProgramFolder() / "DefaultData");
  EXPECT_EQ(DefaultProfilePath("MousePad"), ProgramFolder() / "DefaultData" / "MousePad.Json");
}

TEST(DataFolders, DeviceFoldersAreMadeOnDemandAndSharedByModel) {
  ScratchFolder home;
  ScopedEnvironment data_home("XDG_DATA_HOME", home.path().string());
  const std::filesystem::path folder = DeviceFolder("keyboard");
  EXPECT_EQ(folder, home / "Brontal Driver" / "keyboard");
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_EQ(DeviceFolder("keyboard"), folder);  // a second keyboard, the same folder
  EXPECT_EQ(ModelLightConfigPath("mouse", "drumo_light"), home / "Brontal Driver" / "mouse" / "drumo_light.config");
  EXPECT_TRUE(std::filesystem::is_directory(home / "Brontal Driver" / "mouse"));
}

TEST(DataFolders, AFolderThatCannotBeMadeIsStillNamed) {
  ScratchFolder home;
  home.Write("Brontal Driver", "a file in the way");
  ScopedEnvironment data_home("XDG_DATA_HOME", home.path().string());
  EXPECT_EQ(DeviceFolder("HD"), home / "Brontal Driver" / "HD");
  EXPECT_FALSE(std::filesystem::exists(home / "Brontal Driver" / "HD"));
}

TEST(DataFolders, InstalledFoldersFollowTheUserFolders) {
  ScratchFolder home;
  ScopedEnvironment data_home("XDG_DATA_HOME", (home / "data").string());
  ScopedEnvironment config_home("XDG_CONFIG_HOME", (home / "config").string());
  const AppFolders folders = AppFolders::Installed();
  EXPECT_EQ(folders.default_data, DefaultDataFolder());
  EXPECT_EQ(folders.application, home / "data" / "Brontal Driver");
  EXPECT_EQ(folders.config, home / "config" / "Brontal Driver");
  EXPECT_EQ(folders.ConfigFile("settings.ini"), home / "config" / "Brontal Driver" / "settings.ini");
  EXPECT_TRUE(std::filesystem::is_directory(folders.config));
}

}  // namespace
}  // namespace brontal
