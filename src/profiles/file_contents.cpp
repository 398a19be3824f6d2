#include "profiles/file_contents.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "support/safe_file.h"
#include "support/unique_fd.h"
#include "support/write_all.h"

namespace brontal {
namespace {

// A hidden name beside the target; a leftover of a crashed process with the
// same pid is skipped, not reused.
UniqueFd CreateTemporary(const std::filesystem::path& path, std::filesystem::path& temporary) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = path.parent_path() / ("." + path.filename().string() + "." + std::to_string(::getpid()) + "." +
                                      std::to_string(counter.fetch_add(1)) + ".tmp");
    UniqueFd fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd || errno != EEXIST) return fd;
  }
  return UniqueFd();
}

}  // namespace

std::string ReadFileContents(const std::filesystem::path& path) {
  std::string contents, error;
  ReadFileContents(path, contents, error);
  return contents;
}

bool ReadFileContents(const std::filesystem::path& path, std::string& contents, std::string& error) {
  return ReadRegularFile(path, kLargestUserFile, contents, error);
}

bool ReplaceFileContents(const std::filesystem::path& path, std::string_view contents) {
  if (path.filename().empty()) return false;
  std::filesystem::path temporary;
  UniqueFd fd = CreateTemporary(path, temporary);
  if (!fd) return false;
  // No flush to the disk: a profile is saved on every slider move, and the
  // rename alone already keeps a crashed process from leaving a part behind.
  const bool written = WriteAll(fd.get(), contents) && ::close(fd.release()) == 0;
  if (written && ::rename(temporary.c_str(), path.c_str()) == 0) return true;
  ::unlink(temporary.c_str());
  return false;
}

}  // namespace brontal
