#include "child_process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace brontal::testing {

ChildProcess::ChildProcess(pid_t pid)
    : pid_(pid), ended_(pid > 0 ? static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)) : -1) {}

ChildProcess ChildProcess::Peer(const std::vector<std::string>& arguments) {
  std::vector<std::string> words{BUS_PEER};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (::posix_spawn(&pid, BUS_PEER, nullptr, nullptr, argv.data(), environ) != 0) pid = -1;
  return ChildProcess(pid);
}

ChildProcess ChildProcess::Fork(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  return ChildProcess(pid);
}

ChildProcess::~ChildProcess() {
  if (pid_ <= 0 || reaped_) return;
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds limit) {
  if (pid_ <= 0 || reaped_ || !ended_) return std::nullopt;
  pollfd ended{ended_.get(), POLLIN, 0};
  if (::poll(&ended, 1, static_cast<int>(limit.count())) != 1) return std::nullopt;
  int status = 0;
  if (::waitpid(pid_, &status, 0) != pid_) return std::nullopt;
  reaped_ = true;
  return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
}

}  // namespace brontal::testing
