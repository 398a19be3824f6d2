#include "support/private_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace brontal {

bool PreparePrivateFolder(const std::filesystem::path& folder, std::string& error) {
  const bool made = ::mkdir(folder.c_str(), 0700) == 0;
  // A new folder gets its mode again: the umask may have taken bits this user needs.
  if ((!made && errno != EEXIST) || (made && ::chmod(folder.c_str(), 0700) != 0)) {
    error = "cannot make " + folder.string() + ": " + std::strerror(errno);
    return false;
  }
  return IsPrivateFolder(folder, error);
}

bool IsPrivateFolder(const std::filesystem::path& folder, std::string& error) {
  struct stat status {};
  if (::lstat(folder.c_str(), &status) != 0) {
    error = folder.string() + ": " + std::strerror(errno);
    return false;
  }
  if (!S_ISDIR(status.st_mode)) {
    error = folder.string() + " is not a folder";
  } else if (status.st_uid != ::geteuid()) {
    error = folder.string() + " belongs to user " + std::to_string(status.st_uid);
  } else if ((status.st_mode & 077) != 0) {
    error = folder.string() + " is open to other users";
  } else {
    return true;
  }
  return false;
}

}  // namespace brontal
