#include "support/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <cstring>

namespace brontal {

FileLockResult TryLockFile(const std::filesystem::path& path, UniqueFd& file, std::string& error) {
  UniqueFd opened(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (!opened) {
    error = path.string() + ": " + std::strerror(errno);
    return FileLockResult::kUnavailable;
  }
  int result;
  do {
    result = ::flock(opened.get(), LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) {
    file = std::move(opened);
    return FileLockResult::kAcquired;
  }
  if (errno == EWOULDBLOCK) return FileLockResult::kHeldByAnother;
  error = "flock " + path.string() + ": " + std::strerror(errno);
  return FileLockResult::kUnavailable;
}

}  // namespace brontal
