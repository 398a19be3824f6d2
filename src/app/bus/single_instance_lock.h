#pragma once

#include <filesystem>
#include <string_view>

#include "support/unique_fd.h"

namespace brontal {

class LocalBus;

enum class InstanceLock {
  kAcquired,        // this is the first instance
  kHeldByAnother,   // another instance runs
  kUnavailable,     // no lock can be taken here (the reason is traced)
};

// One running instance per user: an exclusive flock on
// "brontal-driver.lock" in the bus folder, held while the object lives (or
// until Release) and let go by the kernel when the process ends, however it
// ends. The descriptor is close-on-exec, so programs started from here never
// inherit the lock.
class SingleInstanceLock {
 public:
  static constexpr std::string_view kFileName = "brontal-driver.lock";

  // This user's bus folder.
  SingleInstanceLock();
  explicit SingleInstanceLock(std::filesystem::path folder) : folder_(std::move(folder)) {}

  // Makes the folder when it is missing. Never waits.
  InstanceLock Acquire();
  void Release() { file_.Reset(); }
  bool Held() const { return file_.valid(); }

 private:
  std::filesystem::path folder_;
  UniqueFd file_;
};

// The second instance's part of start-up: posts the application message
// (wParam 0, lParam 1) to the running instance's main window, which shows
// itself. False when that window is not on the bus; the first instance is then
// still starting and shows itself anyway once it is up.
bool AskRunningInstanceToShow(const LocalBus& bus, std::string_view main_window_name,
                              std::string_view application_message_name);

}  // namespace brontal
