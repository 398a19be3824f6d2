#include "profiles/kept_aside.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string>
#include <system_error>

#include "support/debug_log.h"

namespace brontal {
namespace {

constexpr int kMaxKeptNames = 1000;

std::string Stamp(std::chrono::system_clock::time_point now) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

// errno as the move left it; 0 on success. Never replaces `to`.
int MoveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // File systems without the flag: a second name, then the old one goes.
  if (::link(from.c_str(), to.c_str()) != 0) return errno;
  ::unlink(from.c_str());
  return 0;
}

}  // namespace

bool HasContents(const std::filesystem::path& file) {
  std::error_code error;
  const auto status = std::filesystem::symlink_status(file, error);
  if (error || !std::filesystem::exists(status)) return false;
  return !std::filesystem::is_regular_file(status) || std::filesystem::file_size(file, error) != 0 || error;
}

std::optional<std::filesystem::path> KeepUnreadableFile(const std::filesystem::path& file,
                                                        std::chrono::system_clock::time_point now) {
  std::error_code error;
  if (!HasContents(file) || std::filesystem::is_directory(std::filesystem::symlink_status(file, error))) {
    return std::nullopt;
  }
  const std::string base = file.filename().string() + ".unreadable-" + Stamp(now);
  int failure = EEXIST;
  for (int n = 1; n <= kMaxKeptNames && failure == EEXIST; ++n) {
    const std::filesystem::path kept = file.parent_path() / (n == 1 ? base : base + "-" + std::to_string(n));
    failure = MoveWithoutReplacing(file, kept);
    if (failure == 0) {
      Trace("Kept the unreadable file " + file.string() + " as " + kept.string());
      return kept;
    }
  }
  Trace("Cannot keep the unreadable file " + file.string() + " aside: " + std::generic_category().message(failure));
  return std::nullopt;
}

bool KeepAsideIfUnreadable(const std::filesystem::path& file, const Json::Value& document) {
  return document.isObject() || !HasContents(file) || KeepUnreadableFile(file).has_value();
}

}  // namespace brontal
