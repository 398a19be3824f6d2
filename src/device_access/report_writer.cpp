#include "device_access/report_writer.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>

namespace brontal {
namespace {

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

ReportWriter::ReportWriter() : done_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

ReportWriter::~ReportWriter() {
  thread_.request_stop();
  job_ready_.notify_all();
}

ReportWriter::Wake ReportWriter::WaitForDone(std::int64_t deadline_ms, int stop_fd) {
  for (;;) {
    pollfd fds[2] = {{stop_fd, POLLIN, 0}, {done_.get(), POLLIN, 0}};
    const int timeout =
        deadline_ms == kNoDeadline ? -1 : static_cast<int>(std::clamp<std::int64_t>(deadline_ms - NowMs(), 0, INT_MAX));
    const int ready = ::poll(fds, 2, timeout);
    if (ready < 0 && errno == EINTR) continue;
    if (ready > 0 && (fds[0].revents & POLLIN)) return Wake::kStopped;
    if (ready > 0 && (fds[1].revents & POLLIN)) {
      std::uint64_t count;
      [[maybe_unused]] const ssize_t n = ::read(done_.get(), &count, sizeof count);
      return Wake::kDone;
    }
    if (ready < 0 || (deadline_ms != kNoDeadline && NowMs() >= deadline_ms)) return Wake::kTimedOut;
  }
}

ReportWriter::Outcome ReportWriter::Write(Job job, std::int64_t deadline_ms, int stop_fd, std::size_t* written) {
  // A write of an earlier caller may still be in the kernel.
  for (;;) {
    {
      std::scoped_lock lock(mutex_);
      if (!busy_) {
        // Started with the first write: most handles (enumeration, event reading) never write.
        if (!thread_.joinable()) thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
        job_ = std::move(job);
        busy_ = true;
        result_.reset();
        break;
      }
    }
    switch (WaitForDone(deadline_ms, stop_fd)) {
      case Wake::kDone: continue;
      case Wake::kStopped: return Outcome::kStopped;
      case Wake::kTimedOut: return Outcome::kTimedOut;
    }
  }
  job_ready_.notify_one();
  for (;;) {
    switch (WaitForDone(deadline_ms, stop_fd)) {
      case Wake::kDone: break;
      case Wake::kStopped: return Outcome::kStopped;
      case Wake::kTimedOut: return Outcome::kTimedOut;
    }
    std::scoped_lock lock(mutex_);
    if (busy_) continue;  // the end of an earlier job
    if (written && result_) *written = *result_;
    return result_ ? Outcome::kWritten : Outcome::kFailed;
  }
}

void ReportWriter::Run(std::stop_token stop) {
  std::unique_lock lock(mutex_);
  for (;;) {
    job_ready_.wait(lock, stop, [this] { return static_cast<bool>(job_); });
    if (stop.stop_requested()) return;
    Job job = std::move(job_);
    job_ = nullptr;
    lock.unlock();
    const std::optional<std::size_t> result = job();
    lock.lock();
    result_ = result;
    busy_ = false;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(done_.get(), &one, sizeof one);
  }
}

}  // namespace brontal
