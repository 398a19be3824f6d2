#pragma once

#include <signal.h>

#include <chrono>
#include <functional>
#include <optional>
#include <thread>

#include "support/unique_fd.h"

namespace brontal::audio_capture {

// The end of a run by Ctrl+C, SIGTERM or a time limit: `on_end` is called
// once, from a thread of this object's, when one of them comes first. SIGINT
// and SIGTERM are blocked in the calling thread while the object lives, so
// make it before the threads that should not see them either.
class EndOnSignal {
 public:
  EndOnSignal(std::optional<std::chrono::milliseconds> limit, std::function<void()> on_end);
  ~EndOnSignal();
  EndOnSignal(const EndOnSignal&) = delete;
  EndOnSignal& operator=(const EndOnSignal&) = delete;

 private:
  void Wait(std::optional<std::chrono::steady_clock::time_point> limit, const std::function<void()>& on_end);

  sigset_t previous_mask_{};
  UniqueFd signals_;  // signalfd
  UniqueFd wake_;     // eventfd: readable once the object goes
  std::thread thread_;
};

}  // namespace brontal::audio_capture
