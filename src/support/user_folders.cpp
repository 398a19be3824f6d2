#include "support/user_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace brontal {
namespace {

constexpr const char* kAppFolder = "Brontal Driver";

std::filesystem::path HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/tmp";
}

// An XDG variable counts only when it holds an absolute path.
std::filesystem::path XdgBase(const char* variable, const char* fallback_below_home) {
  if (const char* value = std::getenv(variable); value && value[0] == '/') return value;
  return HomeFolder() / fallback_below_home;
}

}  // namespace

std::filesystem::path UserDataFolder() { return XdgBase("XDG_DATA_HOME", ".local/share") / kAppFolder; }
std::filesystem::path UserConfigFolder() { return XdgBase("XDG_CONFIG_HOME", ".config") / kAppFolder; }
std::filesystem::path UserStateFolder() { return XdgBase("XDG_STATE_HOME", ".local/state") / kAppFolder; }
std::filesystem::path UserCacheFolder() { return XdgBase("XDG_CACHE_HOME", ".cache") / kAppFolder; }
std::filesystem::path AutostartFolder() { return XdgBase("XDG_CONFIG_HOME", ".config") / "autostart"; }

std::filesystem::path UserRuntimeFolder() {
  if (const char* value = std::getenv("XDG_RUNTIME_DIR"); value && value[0] == '/')
    return std::filesystem::path(value) / "brontal";
  return std::filesystem::path("/tmp") / ("brontal-" + std::to_string(getuid()));
}

std::filesystem::path ProgramFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::current_path() : exe.parent_path();
}

}  // namespace brontal
