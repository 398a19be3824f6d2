#include "transport/node_server.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>

namespace brontal::sim {
namespace {

constexpr std::size_t kMaxReport = 4096;

}  // namespace

NodeServer::NodeServer(SimulatedDevice& device, Link link, std::function<void()> on_unplug_request)
    : device_(device),
      link_(link),
      on_unplug_request_(std::move(on_unplug_request)),
      wake_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
      thread_([this](std::stop_token stop) { Run(stop); }) {}

NodeServer::~NodeServer() {
  thread_.request_stop();
  Wake();
  thread_.join();
}

void NodeServer::AddConnection(UniqueFd fd) {
  {
    std::scoped_lock lock(mutex_);
    connections_.push_back(std::move(fd));
  }
  Wake();
}

void NodeServer::Broadcast(std::vector<std::uint8_t> report) {
  {
    std::scoped_lock lock(mutex_);
    Schedule(Clock::now() + latency_, std::move(report));
  }
  Wake();
}

void NodeServer::SetLatency(std::chrono::microseconds latency) {
  std::scoped_lock lock(mutex_);
  latency_ = latency;
}

std::size_t NodeServer::ConnectionCount() const {
  std::scoped_lock lock(mutex_);
  return connections_.size();
}

void NodeServer::Schedule(Clock::time_point due, std::vector<std::uint8_t> report) {
  pending_.emplace(due, std::move(report));
}

void NodeServer::Wake() {
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(wake_.get(), &one, sizeof one);
}

void NodeServer::ServeConnection(int fd) {
  std::array<std::uint8_t, kMaxReport> buffer;
  for (;;) {
    const ssize_t n = ::recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) return;
    if (n <= 0) {  // the host closed this connection
      std::scoped_lock lock(mutex_);
      std::erase_if(connections_, [fd](const UniqueFd& c) { return c.get() == fd; });
      return;
    }
    const Clock::time_point received = Clock::now();
    std::vector<TimedReport> replies =
        device_.HandleOutputReport(link_, std::span(buffer.data(), static_cast<std::size_t>(n)));
    {
      std::scoped_lock lock(mutex_);
      // One frame for the request to arrive, one for the answer to leave.
      for (TimedReport& r : replies) Schedule(received + 2 * latency_ + r.delay, std::move(r.bytes));
    }
    if (device_.TakeUnplugRequest() && on_unplug_request_) on_unplug_request_();
  }
}

void NodeServer::SendDue() {
  std::scoped_lock lock(mutex_);
  const Clock::time_point now = Clock::now();
  while (!pending_.empty() && pending_.begin()->first <= now) {
    const std::vector<std::uint8_t>& report = pending_.begin()->second;
    // A reader that does not keep up loses reports, as with a full hidraw queue.
    for (const UniqueFd& c : connections_) ::send(c.get(), report.data(), report.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    pending_.erase(pending_.begin());
  }
}

void NodeServer::Run(std::stop_token stop) {
  // Replies keep the wire's 1 ms frames: the default 50 µs timer slack would
  // stretch every exchange by a tenth.
  ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  std::vector<pollfd> fds;
  while (!stop.stop_requested()) {
    std::optional<timespec> timeout;
    fds.assign(1, pollfd{wake_.get(), POLLIN, 0});
    {
      std::scoped_lock lock(mutex_);
      for (const UniqueFd& c : connections_) fds.push_back({c.get(), POLLIN, 0});
      if (!pending_.empty()) {
        // Microsecond deadlines: the latency model is one 1 ms frame.
        const auto wait = std::max(Clock::duration::zero(), pending_.begin()->first - Clock::now());
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
        timeout = timespec{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
      }
    }
    if (::ppoll(fds.data(), fds.size(), timeout ? &*timeout : nullptr, nullptr) < 0 && errno != EINTR) break;
    if (fds[0].revents & POLLIN) {
      std::uint64_t drained;
      [[maybe_unused]] const ssize_t n = ::read(wake_.get(), &drained, sizeof drained);
    }
    for (std::size_t i = 1; i < fds.size(); ++i)
      if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) ServeConnection(fds[i].fd);
    SendDue();
  }
}

}  // namespace brontal::sim
