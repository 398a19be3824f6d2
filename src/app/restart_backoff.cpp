#include "app/restart_backoff.h"

#include <algorithm>
#include <utility>

namespace brontal {

RestartBackoff::Duration RestartBackoff::AfterLoss(Duration run) {
  if (run >= steady_run_) {
    next_ = first_;
    told_ = false;
  }
  const Duration wait = next_;
  next_ = std::min(next_ * 2, longest_);
  return wait;
}

bool RestartBackoff::FirstWordOfOutage() { return !std::exchange(told_, true); }

}  // namespace brontal
