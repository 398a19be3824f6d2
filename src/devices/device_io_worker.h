#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

namespace brontal {

// The one thread that talks to a device. Jobs run one at a time, in the order
// they were posted, so the packets of each operation stay together on the
// wire. The UI thread posts and hears back through its message loop; no job
// ever waits for the UI thread.
//
// Two kinds of job keep a fast producer from flooding the wire:
// - coalesced jobs: a job posted under a key replaces the one of that key still
//   waiting (it keeps the waiting one's place), so the latest value wins and
//   at most one such write is in flight;
// - frames: a one-slot mailbox; a newer frame replaces one not yet sent. The
//   frame goes out when no ordinary job waits, so it never splits one.
class DeviceIoWorker {
 public:
  using Job = std::function<void()>;

  DeviceIoWorker();
  // Stops after the running job; waiting jobs are dropped.
  ~DeviceIoWorker() { Stop(); }
  // The same, and waits for the thread; later posts are dropped.
  void Stop();
  DeviceIoWorker(const DeviceIoWorker&) = delete;
  DeviceIoWorker& operator=(const DeviceIoWorker&) = delete;

  void Post(Job job);
  void PostCoalesced(std::uint32_t key, Job job);
  void PostFrame(Job job);

  // Whether jobs or a frame wait or run (for measurements and tests).
  bool Busy() const;
  std::uint64_t frames_replaced() const;

 private:
  struct Entry {
    std::optional<std::uint32_t> key;
    Job job;
  };
  void Run(std::stop_token stop);

  mutable std::mutex mutex_;
  std::condition_variable_any wake_;
  std::deque<Entry> queue_;
  Job frame_;
  bool running_job_ = false;
  std::uint64_t frames_replaced_ = 0;
  std::jthread thread_;  // last: it starts once the members above exist
};

}  // namespace brontal
