#pragma once

#include <filesystem>
#include <string>

#include "support/unique_fd.h"

namespace brontal {

enum class FileLockResult {
  kAcquired,
  kHeldByAnother,
  kUnavailable,  // the file cannot be made or locked (the reason is given)
};

// An exclusive flock on `path` (made when missing, never through a link),
// held while `file` stays open and let go by the kernel when the process
// ends, however it ends. Never waits. The descriptor is close-on-exec.
FileLockResult TryLockFile(const std::filesystem::path& path, UniqueFd& file, std::string& error);

}  // namespace brontal
