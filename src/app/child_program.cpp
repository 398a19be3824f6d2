#include "app/child_program.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

extern char** environ;

namespace brontal {
namespace {

using Clock = std::chrono::steady_clock;

// Without a pid file descriptor the end is looked for this often.
constexpr std::chrono::milliseconds kEndPoll{10};

std::string Describe(int status) {
  if (WIFEXITED(status)) return "exited with status " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status))
    return "was killed by signal " + std::to_string(WTERMSIG(status)) + " (" + ::strsignal(WTERMSIG(status)) + ")";
  return "ended";
}

}  // namespace

std::unique_ptr<ChildProgram> ChildProgram::Start(const std::filesystem::path& program, std::string& error) {
  posix_spawnattr_t attributes;
  ::posix_spawnattr_init(&attributes);
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  // This process's threads may block or handle signals the program needs.
  ::posix_spawnattr_setsigmask(&attributes, &none);
  ::posix_spawnattr_setsigdefault(&attributes, &all);
  ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  std::string path = program.string();
  char* argv[] = {path.data(), nullptr};
  pid_t pid = -1;
  const int result = ::posix_spawn(&pid, path.c_str(), nullptr, &attributes, argv, environ);
  ::posix_spawnattr_destroy(&attributes);
  if (result != 0) {
    error = path + ": " + std::strerror(result);
    return nullptr;
  }
  return std::unique_ptr<ChildProgram>(new ChildProgram(pid));
}

ChildProgram::ChildProgram(pid_t pid) : pid_(pid), end_fd_(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0))) {}

ChildProgram::~ChildProgram() {
  if (ended_) return;
  ::kill(pid_, SIGKILL);
  Reap(0);
}

bool ChildProgram::Reap(int options) {
  int status = 0;
  pid_t reaped;
  do {
    reaped = ::waitpid(pid_, &status, options);
  } while (reaped < 0 && errno == EINTR);
  if (reaped == 0) return false;
  ended_ = true;
  how_it_ended_ = reaped == pid_ ? Describe(status) : std::string("ended (its status was lost)");
  return true;
}

bool ChildProgram::Ended() { return ended_ || Reap(WNOHANG); }

bool ChildProgram::WaitForEnd(std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (!Ended()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    if (end_fd_) {
      pollfd end{end_fd_.get(), POLLIN, 0};
      ::poll(&end, 1, static_cast<int>(left.count()) + 1);
    } else {
      std::this_thread::sleep_for(std::min(left, kEndPoll));
    }
  }
  return true;
}

void ChildProgram::Terminate(std::chrono::milliseconds grace) {
  if (Ended()) return;
  ::kill(pid_, SIGTERM);
  if (WaitForEnd(grace)) return;
  ::kill(pid_, SIGKILL);
  Reap(0);
}

}  // namespace brontal
