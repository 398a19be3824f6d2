#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace brontal::e2e {

// The test's own environment with some variables replaced ("" removes one).
using Environment = std::map<std::string, std::string>;

// A program started in a process group of its own; the destructor ends the
// whole group (the program and whatever it started) and reaps it.
class ChildProcess {
 public:
  // `output` gets standard output and error; `pass_fd` becomes the child's fd 3.
  ChildProcess(const std::vector<std::string>& argv, const Environment& changes, const std::filesystem::path& output,
               int pass_fd = -1);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The exit status (128 + signal when killed), or nothing if still running after `limit`.
  std::optional<int> WaitExit(std::chrono::milliseconds limit);
  bool Running();

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;
};

// Runs a short command to its end; -1 when it overruns `limit` (then it is killed).
int RunCommand(const std::vector<std::string>& argv, const Environment& changes, std::chrono::milliseconds limit,
               std::string* output = nullptr);

// Polls `done` until it holds or `limit` passes.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

}  // namespace brontal::e2e
