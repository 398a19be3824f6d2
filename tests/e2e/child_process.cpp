#include "e2e/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace brontal::e2e {
namespace {

constexpr std::chrono::milliseconds kPoll{20};
constexpr std::chrono::milliseconds kGraceAfterTerm{1000};

std::vector<std::string> MergedEnvironment(const Environment& changes) {
  Environment merged;
  for (char** entry = environ; *entry; ++entry) {
    const std::string text = *entry;
    const std::size_t equals = text.find('=');
    if (equals != std::string::npos) merged[text.substr(0, equals)] = text.substr(equals + 1);
  }
  for (const auto& [name, value] : changes) {
    if (value.empty())
      merged.erase(name);
    else
      merged[name] = value;
  }
  std::vector<std::string> list;
  for (const auto& [name, value] : merged) list.push_back(name + "=" + value);
  return list;
}

int StatusOf(const siginfo_t& info) { return info.si_code == CLD_EXITED ? info.si_status : 128 + info.si_status; }

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const Environment& changes,
                           const std::filesystem::path& output, int pass_fd) {
  // Everything the child needs is prepared before fork: only async-signal-safe calls after it.
  std::vector<std::string> env = MergedEnvironment(changes);
  std::vector<char*> env_list, arg_list;
  for (std::string& e : env) env_list.push_back(e.data());
  env_list.push_back(nullptr);
  std::vector<std::string> args = argv;
  for (std::string& a : args) arg_list.push_back(a.data());
  arg_list.push_back(nullptr);
  const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);

  pid_ = ::fork();
  if (pid_ == 0) {
    ::setpgid(0, 0);
    if (out >= 0) {
      ::dup2(out, STDOUT_FILENO);
      ::dup2(out, STDERR_FILENO);
    }
    const int null_in = ::open("/dev/null", O_RDONLY);
    if (null_in >= 0) ::dup2(null_in, STDIN_FILENO);
    if (pass_fd == 3)
      ::fcntl(3, F_SETFD, 0);
    else if (pass_fd >= 0)
      ::dup2(pass_fd, 3);
    ::execvpe(arg_list[0], arg_list.data(), env_list.data());
    ::_exit(127);
  }
  if (pid_ > 0) ::setpgid(pid_, pid_);  // no window in which a kill of the group could miss
  if (out >= 0) ::close(out);
}

// The program is reaped only here: until then its pid, which names the group,
// cannot pass to another process (pids wrap quickly on a busy machine, and a
// late kill of a reused group took down another test's display).
ChildProcess::~ChildProcess() {
  if (pid_ <= 0) return;
  ::kill(-pid_, SIGTERM);
  if (!WaitExit(kGraceAfterTerm)) ::kill(-pid_, SIGKILL);
  siginfo_t info{};
  ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOWAIT);
  ::kill(-pid_, SIGKILL);  // what the program left behind in its group
  ::waitpid(pid_, nullptr, 0);
}

std::optional<int> ChildProcess::WaitExit(std::chrono::milliseconds limit) {
  WaitUntil(
      [this] {
        siginfo_t info{};
        if (!status_ && ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            info.si_pid == pid_)
          status_ = StatusOf(info);
        return status_.has_value();
      },
      limit);
  return status_;
}

bool ChildProcess::Running() { return !WaitExit(std::chrono::milliseconds(0)); }

int RunCommand(const std::vector<std::string>& argv, const Environment& changes, std::chrono::milliseconds limit,
               std::string* output) {
  char path[] = "/tmp/brontal-e2e-output-XXXXXX";
  const int fd = ::mkstemp(path);
  if (fd >= 0) ::close(fd);
  std::optional<int> status;
  {
    ChildProcess child(argv, changes, path);
    status = child.WaitExit(limit);
  }
  if (output) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    *output = text.str();
  }
  ::unlink(path);
  return status.value_or(-1);
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPoll);
  }
  return true;
}

}  // namespace brontal::e2e
