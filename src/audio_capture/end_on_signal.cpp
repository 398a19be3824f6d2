#include "audio_capture/end_on_signal.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace brontal::audio_capture {

EndOnSignal::EndOnSignal(std::optional<std::chrono::milliseconds> limit, std::function<void()> on_end) {
  sigset_t ending;
  sigemptyset(&ending);
  sigaddset(&ending, SIGINT);
  sigaddset(&ending, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &ending, &previous_mask_);
  signals_ = UniqueFd(::signalfd(-1, &ending, SFD_CLOEXEC | SFD_NONBLOCK));
  wake_ = UniqueFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  std::optional<std::chrono::steady_clock::time_point> deadline;
  if (limit) deadline = std::chrono::steady_clock::now() + *limit;
  // Without them the signals keep their default action: they end the process.
  if (!signals_ || !wake_) {
    pthread_sigmask(SIG_SETMASK, &previous_mask_, nullptr);
    return;
  }
  thread_ = std::thread([this, deadline, on_end = std::move(on_end)] { Wait(deadline, on_end); });
}

EndOnSignal::~EndOnSignal() {
  if (!thread_.joinable()) return;
  const std::uint64_t one = 1;
  while (::write(wake_.get(), &one, sizeof one) < 0 && errno == EINTR) {
  }
  thread_.join();
  pthread_sigmask(SIG_SETMASK, &previous_mask_, nullptr);
}

void EndOnSignal::Wait(std::optional<std::chrono::steady_clock::time_point> limit,
                       const std::function<void()>& on_end) {
  for (;;) {
    int timeout = -1;
    if (limit) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(*limit - std::chrono::steady_clock::now());
      timeout = static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, 60'000));
    }
    pollfd fds[2] = {{wake_.get(), POLLIN, 0}, {signals_.get(), POLLIN, 0}};
    const int ready = ::poll(fds, 2, timeout);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0 || fds[0].revents) return;
    if (fds[1].revents) {
      // Taken, so that it stays handled once the mask is back.
      signalfd_siginfo taken{};
      if (::read(signals_.get(), &taken, sizeof taken) != sizeof taken) continue;
      on_end();
      return;
    }
    if (limit && std::chrono::steady_clock::now() >= *limit) {
      on_end();
      return;
    }
  }
}

}  // namespace brontal::audio_capture
