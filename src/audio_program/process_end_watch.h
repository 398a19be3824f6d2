#pragma once

#include <sys/types.h>

#include <functional>
#include <thread>

#include "support/unique_fd.h"

namespace brontal::audio_program {

// Tells when a process ends, through a pidfd, from a thread of its own.
class ProcessEndWatch {
 public:
  explicit ProcessEndWatch(std::function<void()> on_end) : on_end_(std::move(on_end)) {}
  ~ProcessEndWatch() { Forget(); }
  ProcessEndWatch(const ProcessEndWatch&) = delete;
  ProcessEndWatch& operator=(const ProcessEndWatch&) = delete;

  // Watches `pid` instead of the process watched before; a process that has
  // ended already is told at once, from the calling thread.
  void Watch(pid_t pid);
  void Forget();

 private:
  const std::function<void()> on_end_;
  UniqueFd wake_;  // eventfd: readable once the watch is forgotten
  std::thread thread_;
};

}  // namespace brontal::audio_program
