#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "support/unique_fd.h"

namespace brontal {

// A program this one started, watched through a pid file descriptor so that
// its end is seen the moment it comes, and reaped here (nobody else in the
// process waits for children).
class ChildProgram {
 public:
  // Starts `program` without arguments, with this process's environment,
  // default signal handling and no signal blocked. Nothing, with the reason,
  // when it cannot be started.
  static std::unique_ptr<ChildProgram> Start(const std::filesystem::path& program, std::string& error);
  // A program still running is killed and reaped: none is left behind unwatched.
  ~ChildProgram();
  ChildProgram(const ChildProgram&) = delete;
  ChildProgram& operator=(const ChildProgram&) = delete;

  pid_t pid() const { return pid_; }
  // Readable once the program has ended; invalid where the kernel has no
  // pid file descriptors (then Ended has to be asked now and then).
  int end_fd() const { return end_fd_.get(); }

  // Whether it has ended (and is reaped); never waits.
  bool Ended();
  // Waits at most `limit` for the end.
  bool WaitForEnd(std::chrono::milliseconds limit);
  // SIGTERM, and SIGKILL when `grace` passes without the end; returns once reaped.
  void Terminate(std::chrono::milliseconds grace);
  // "exited with status 1", "was killed by signal 11 (Segmentation fault)".
  const std::string& how_it_ended() const { return how_it_ended_; }

 private:
  explicit ChildProgram(pid_t pid);
  bool Reap(int options);

  const pid_t pid_;
  UniqueFd end_fd_;
  bool ended_ = false;
  std::string how_it_ended_;
};

}  // namespace brontal
