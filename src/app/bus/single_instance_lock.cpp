#include "app/bus/single_instance_lock.h"

#include <string>

#include "app/bus/local_bus.h"
#include "support/private_folder.h"
#include "support/debug_log.h"
#include "support/file_lock.h"
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
  switch (TryLockFile(folder_ / kFileName, file_, error)) {
    case FileLockResult::kAcquired: return InstanceLock::kAcquired;
    case FileLockResult::kHeldByAnother: return InstanceLock::kHeldByAnother;
    case FileLockResult::kUnavailable: break;
  }
  Trace("single instance: " + error);
  return InstanceLock::kUnavailable;
}

bool AskRunningInstanceToShow(const LocalBus& bus, std::string_view main_window_name,
                              std::string_view application_message_name) {
  return bus.PostTo(main_window_name, WindowMessage(RegisterWindowMessage(application_message_name), 0, 1));
}

}  // namespace brontal
