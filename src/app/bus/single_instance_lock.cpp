#include "app/bus/single_instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "app/bus/local_bus.h"
#include "app/bus/private_folder.h"
#include "support/debug_log.h"
#include "support/user_folders.h"
#include "ui/toolkit/registered_messages.h"

namespace brontal {

SingleInstanceLock::SingleInstanceLock() : folder_(UserRuntimeFolder()) {}

InstanceLock SingleInstanceLock::Acquire() {
  if (Held()) return InstanceLock::kAcquired;
  std::string error;
  if (!PreparePrivateFolder(folder_, error)) {
    Trace("single instance: " + error);
    return InstanceLock::kUnavailable;
  }
  const std::filesystem::path path = folder_ / kFileName;
  UniqueFd file(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (!file) {
    Trace("single instance: " + path.string() + ": " + std::strerror(errno));
    return InstanceLock::kUnavailable;
  }
  int result;
  do {
    result = ::flock(file.get(), LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) {
    file_ = std::move(file);
    return InstanceLock::kAcquired;
  }
  if (errno == EWOULDBLOCK) return InstanceLock::kHeldByAnother;
  Trace("single instance: flock " + path.string() + ": " + std::strerror(errno));
  return InstanceLock::kUnavailable;
}

bool AskRunningInstanceToShow(const LocalBus& bus, std::string_view main_window_name,
                              std::string_view application_message_name) {
  return bus.PostTo(main_window_name, WindowMessage(RegisterWindowMessage(application_message_name), 0, 1));
}

}  // namespace brontal
