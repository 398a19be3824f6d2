#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/unique_fd.h"

namespace brontal::testing {

// Another process of a test, waited for with a deadline and killed when the
// test ends before it does.
class ChildProcess {
 public:
  // The peer program (bus_peer) with these arguments.
  static ChildProcess Peer(const std::vector<std::string>& arguments);
  // A fork that runs `body` and exits with its result. Between fork and exit
  // only async-signal-safe calls are allowed: the test has threads.
  static ChildProcess Fork(const std::function<int()>& body);

  ChildProcess(ChildProcess&& other) noexcept
      : pid_(std::exchange(other.pid_, -1)), ended_(std::move(other.ended_)), reaped_(other.reaped_) {}
  ChildProcess& operator=(ChildProcess&&) = delete;
  ~ChildProcess();

  pid_t pid() const { return pid_; }
  // The exit status; nothing when it fails to start, dies of a signal or has
  // not ended within `limit`.
  std::optional<int> Wait(std::chrono::milliseconds limit);

 private:
  explicit ChildProcess(pid_t pid);

  pid_t pid_ = -1;
  UniqueFd ended_;  // pidfd: readable once the process has ended
  bool reaped_ = false;
};

}  // namespace brontal::testing
