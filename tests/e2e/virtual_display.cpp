#include "e2e/virtual_display.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace brontal::e2e {
namespace {

constexpr std::chrono::milliseconds kStartLimit{10000};
constexpr std::chrono::milliseconds kToolLimit{5000};

}  // namespace

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  const std::string folders = path != nullptr ? path : "";
  for (std::size_t start = 0; start <= folders.size();) {
    const std::size_t end = std::min(folders.find(':', start), folders.size());
    if (::access((folders.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

std::unique_ptr<VirtualDisplay> VirtualDisplay::Start(const std::vector<std::string>& server_args,
                                                      const std::filesystem::path& log, std::string& error) {
  if (!OnPath("Xvfb")) {
    error = "Xvfb is not installed (scripts/deps)";
    return nullptr;
  }
  int pipe_fds[2];
  if (::pipe2(pipe_fds, O_CLOEXEC) != 0) {
    error = "no pipe for Xvfb";
    return nullptr;
  }
  // Without -noreset the server resets whenever its last client leaves, and a
  // program connecting meanwhile is refused. -displayfd names the display once
  // it accepts connections.
  std::vector<std::string> argv = {"Xvfb", "-displayfd", "3", "-noreset", "-nolisten", "tcp"};
  argv.insert(argv.end(), server_args.begin(), server_args.end());
  auto server = std::make_unique<ChildProcess>(argv, Environment{}, log, pipe_fds[1]);
  ::close(pipe_fds[1]);
  std::string number;
  pollfd ready{pipe_fds[0], POLLIN, 0};
  char c = 0;
  while (!number.ends_with('\n') && ::poll(&ready, 1, static_cast<int>(kStartLimit.count())) == 1 &&
         ::read(pipe_fds[0], &c, 1) == 1)
    number += c;
  ::close(pipe_fds[0]);
  if (!number.ends_with('\n')) {
    error = "Xvfb did not start (see " + log.string() + ")";
    return nullptr;
  }
  number.pop_back();
  return std::unique_ptr<VirtualDisplay>(new VirtualDisplay(std::move(server), ":" + number));
}

int VirtualDisplay::XDoTool(const std::vector<std::string>& words) const {
  std::vector<std::string> argv = {"xdotool"};
  argv.insert(argv.end(), words.begin(), words.end());
  return RunCommand(argv, {{"DISPLAY", name_}}, kToolLimit);
}

}  // namespace brontal::e2e
