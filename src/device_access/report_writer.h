#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

#include "support/unique_fd.h"

namespace brontal {

// Writes reports on a thread of its own, so that the caller's time limit and
// stop event hold even where write() blocks in the kernel: on hidraw, poll()
// always reports a node writable and write() waits for the USB transfer. A
// write that outlives its caller's wait goes on; the next write waits for it
// within its own limit.
class ReportWriter {
 public:
  enum class Outcome { kWritten, kFailed, kTimedOut, kStopped };
  // The write itself: the bytes written, or nothing when it failed.
  using Job = std::function<std::optional<std::size_t>()>;
  static constexpr std::int64_t kNoDeadline = -1;

  ReportWriter();
  // Waits for a write still in the kernel.
  ~ReportWriter();
  ReportWriter(const ReportWriter&) = delete;
  ReportWriter& operator=(const ReportWriter&) = delete;

  // Runs `job` and waits for it until `deadline_ms` (steady clock, kNoDeadline:
  // no limit) or until `stop_fd` becomes readable.
  Outcome Write(Job job, std::int64_t deadline_ms, int stop_fd, std::size_t* written);

 private:
  enum class Wake { kDone, kStopped, kTimedOut };
  Wake WaitForDone(std::int64_t deadline_ms, int stop_fd);
  void Run(std::stop_token stop);

  std::mutex mutex_;
  std::condition_variable_any job_ready_;
  Job job_;
  bool busy_ = false;  // a job waits or runs
  std::optional<std::size_t> result_;
  const UniqueFd done_;  // eventfd: a job ended
  std::jthread thread_;  // last: it runs on the members above
};

}  // namespace brontal
