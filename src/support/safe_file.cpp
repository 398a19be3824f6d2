#include "support/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "support/unique_fd.h"

namespace brontal {
namespace {

std::string TooLarge(std::size_t max_bytes) { return "is larger than " + std::to_string(max_bytes) + " bytes"; }

std::string KindProblem(const struct stat& info, std::size_t max_bytes) {
  if (S_ISDIR(info.st_mode)) return "is a folder";
  if (S_ISFIFO(info.st_mode)) return "is not a regular file (a FIFO)";
  if (S_ISSOCK(info.st_mode)) return "is not a regular file (a socket)";
  if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return "is a device";
  if (!S_ISREG(info.st_mode)) return "is not a regular file";
  if (info.st_size < 0 || static_cast<std::uintmax_t>(info.st_size) > max_bytes) return TooLarge(max_bytes);
  return {};
}

}  // namespace

bool ReadRegularFile(const std::filesystem::path& path, std::size_t max_bytes, std::string& contents,
                     std::string& error) {
  contents.clear();
  // Non-blocking: opening a FIFO without a writer would otherwise wait forever.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!fd) {
    error = std::strerror(errno);
    return false;
  }
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) {
    error = std::strerror(errno);
    return false;
  }
  error = KindProblem(info, max_bytes);
  if (!error.empty()) return false;
  // The size is only a hint: the file may grow while it is read, and files of
  // /proc and /sys claim a size that is not theirs.
  contents.resize(std::min<std::size_t>(static_cast<std::size_t>(info.st_size), max_bytes) + 1);
  std::size_t done = 0;
  for (;;) {
    if (done == contents.size()) {
      if (contents.size() > max_bytes) {
        contents.clear();
        error = TooLarge(max_bytes);
        return false;
      }
      contents.resize(std::min(contents.size() * 2, max_bytes + 1));
    }
    const ssize_t n = ::read(fd.get(), contents.data() + done, contents.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = std::strerror(errno);
      contents.clear();
      return false;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  contents.resize(done);
  return true;
}

std::string RegularFileProblem(const std::filesystem::path& path, std::size_t max_bytes) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::strerror(errno);
  return KindProblem(info, max_bytes);
}

}  // namespace brontal
