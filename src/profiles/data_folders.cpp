#include "profiles/data_folders.h"

#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <set>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "support/debug_log.h"
#include "support/user_folders.h"

namespace brontal {
namespace {

struct FolderNotices {
  std::mutex mutex;
  std::set<std::filesystem::path> folders;
  std::vector<std::string> said;
  FolderNoticeHandler handler;
};

FolderNotices& Notices() {
  static FolderNotices notices;
  return notices;
}

// The writes that follow fail on their own and save nothing; this only
// makes the reason known, once rather than at every write.
std::filesystem::path Created(std::filesystem::path folder) {
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  CheckWritableFolder(folder);
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

std::optional<std::string> FolderWriteProblem(const std::filesystem::path& folder) {
  std::error_code error;
  const auto status = std::filesystem::status(folder, error);
  if (!std::filesystem::exists(status)) {
    // The nearest part of the path that is there tells why it could not be made.
    for (std::filesystem::path part = folder.parent_path(); !part.empty() && part != part.parent_path();
         part = part.parent_path()) {
      const auto part_status = std::filesystem::status(part, error);
      if (!std::filesystem::exists(part_status)) continue;
      if (!std::filesystem::is_directory(part_status)) return part.string() + " is a file, not a folder";
      break;
    }
    return "the folder is missing and cannot be made";
  }
  if (!std::filesystem::is_directory(status)) return "it is a file, not a folder";
  if (::access(folder.c_str(), W_OK | X_OK) != 0) return std::generic_category().message(errno);
  return std::nullopt;
}

bool CheckWritableFolder(const std::filesystem::path& folder) {
  const std::optional<std::string> problem = FolderWriteProblem(folder);
  if (!problem) return true;
  FolderNotices& notices = Notices();
  std::string text = "Settings cannot be saved in " + folder.string() + ": " + *problem;
  FolderNoticeHandler handler;
  {
    std::scoped_lock lock(notices.mutex);
    if (!notices.folders.insert(folder.lexically_normal()).second) return false;
    notices.said.push_back(text);
    handler = notices.handler;
  }
  Trace(text);
  if (handler) handler(text);
  return false;
}

void SetFolderNoticeHandler(FolderNoticeHandler handler) {
  FolderNotices& notices = Notices();
  std::vector<std::string> said;
  {
    std::scoped_lock lock(notices.mutex);
    notices.handler = handler;
    said = notices.said;
  }
  if (handler) {
    for (const std::string& text : said) handler(text);
  }
}

}  // namespace brontal
