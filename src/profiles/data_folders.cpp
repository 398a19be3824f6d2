#include "profiles/data_folders.h"

#include <string>
#include <system_error>

#include "support/user_folders.h"

namespace brontal {
namespace {

std::filesystem::path Created(std::filesystem::path folder) {
  std::error_code ignored;  // a folder that cannot be made shows up as failing writes later
  std::filesystem::create_directories(folder, ignored);
  return folder;
}

}  // namespace

std::filesystem::path DefaultDataFolder() { return ProgramFolder() / "DefaultData"; }

std::filesystem::path DefaultProfilePath(std::string_view model) {
  return DefaultDataFolder() / (std::string(model) + ".Json");
}

std::filesystem::path DeviceFolder(std::string_view model) { return Created(UserDataFolder() / model); }

std::filesystem::path ModelLightConfigPath(std::string_view model, std::string_view lighting_page) {
  return DeviceFolder(model) / (std::string(lighting_page) + ".config");
}

AppFolders AppFolders::Installed() { return {DefaultDataFolder(), UserDataFolder(), UserConfigFolder()}; }

std::filesystem::path AppFolders::ApplicationFile(std::string_view name) const { return Created(application) / name; }

std::filesystem::path AppFolders::ConfigFile(std::string_view name) const { return Created(config) / name; }

}  // namespace brontal
