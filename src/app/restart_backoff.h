#pragma once

#include <chrono>

namespace brontal {

// How long to wait before starting a lost helper program again: the first
// wait, doubled after every loss up to the longest; a run that lasted long
// enough ends the outage, and the waits start over. The user hears of each
// outage once, not of every try.
class RestartBackoff {
 public:
  using Duration = std::chrono::milliseconds;

  RestartBackoff(Duration first, Duration longest, Duration steady_run)
      : first_(first), longest_(longest), steady_run_(steady_run), next_(first) {}

  // The program was lost after running `run` (zero when it never came up):
  // the wait before the next start.
  Duration AfterLoss(Duration run);
  // True the first time it is asked in an outage.
  bool FirstWordOfOutage();

 private:
  const Duration first_, longest_, steady_run_;
  Duration next_;
  bool told_ = false;
};

}  // namespace brontal
