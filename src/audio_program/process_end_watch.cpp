#include "audio_program/process_end_watch.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "support/debug_log.h"

namespace brontal::audio_program {

void ProcessEndWatch::Watch(pid_t pid) {
  Forget();
  UniqueFd process(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
  if (!process) {
    if (errno == ESRCH) return on_end_();
    Trace("brontal-audio: cannot watch process " + std::to_string(pid) + ": " + std::strerror(errno));
    return;
  }
  wake_ = UniqueFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  if (!wake_) {
    Trace(std::string("brontal-audio: cannot watch a process: eventfd: ") + std::strerror(errno));
    return;
  }
  thread_ = std::thread([this, process = std::move(process)] {
    pollfd fds[2] = {{process.get(), POLLIN, 0}, {wake_.get(), POLLIN, 0}};
    while (::poll(fds, 2, -1) < 0 && errno == EINTR) {
    }
    if (fds[0].revents && !fds[1].revents) on_end_();
  });
}

void ProcessEndWatch::Forget() {
  if (thread_.joinable()) {
    const std::uint64_t one = 1;
    while (::write(wake_.get(), &one, sizeof one) < 0 && errno == EINTR) {
    }
    thread_.join();
  }
  wake_.Reset();
}

}  // namespace brontal::audio_program
