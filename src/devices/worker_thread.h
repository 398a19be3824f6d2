#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <stop_token>
#include <thread>

namespace brontal {

// A device's worker thread with its stop event. Stop() sets the event, gives
// the thread a second to end and traces the outcome; the body ends at its
// next wait on the stop token (blocking reads are released by stopping the
// waits on what they read, before Stop()).
class WorkerThread {
 public:
  static constexpr std::chrono::milliseconds kStopWait{1000};

  WorkerThread() = default;
  ~WorkerThread() { Stop(); }
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Stops a running body first.
  void Start(std::function<void(std::stop_token)> body);
  void Stop();
  bool running() const { return thread_.joinable(); }

  // Waits up to `span` unless the stop is requested first; false when it was.
  static bool Sleep(std::stop_token stop, std::chrono::milliseconds span);

 private:
  std::jthread thread_;
  std::future<void> finished_;
};

}  // namespace brontal
