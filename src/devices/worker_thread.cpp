#include "devices/worker_thread.h"

#include <condition_variable>
#include <mutex>

#include "support/debug_log.h"

namespace brontal {

void WorkerThread::Start(std::function<void(std::stop_token)> body) {
  Stop();
  std::promise<void> done;
  finished_ = done.get_future();
  thread_ = std::jthread([body = std::move(body), done = std::move(done)](std::stop_token stop) mutable {
    body(stop);
    done.set_value();
  });
}

void WorkerThread::Stop() {
  if (!thread_.joinable()) return;
  thread_.request_stop();
  if (finished_.wait_for(kStopWait) == std::future_status::ready) {
    Trace("线程退出：：对象处于激发状态");
  } else {
    // No thread can be killed safely here; the time-out is traced and the
    // wait goes on, as every body ends at its next look at the stop token.
    Trace("线程退出：：对象处于非激发状态，超时");
  }
  thread_.join();
}

bool WorkerThread::Sleep(std::stop_token stop, std::chrono::milliseconds span) {
  std::mutex mutex;
  std::condition_variable_any wake;
  std::unique_lock lock(mutex);
  wake.wait_for(lock, stop, span, [] { return false; });
  return !stop.stop_requested();
}

}  // namespace brontal
