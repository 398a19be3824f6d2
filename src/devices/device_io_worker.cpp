#include "devices/device_io_worker.h"

#include <pthread.h>

#include <algorithm>

namespace brontal {

DeviceIoWorker::DeviceIoWorker() : thread_([this](std::stop_token stop) { Run(stop); }) {}

void DeviceIoWorker::Stop() {
  if (!thread_.joinable()) return;
  thread_.request_stop();
  wake_.notify_all();
  thread_.join();
  std::scoped_lock lock(mutex_);
  queue_.clear();
  frame_ = nullptr;
}

void DeviceIoWorker::Post(Job job) {
  {
    std::scoped_lock lock(mutex_);
    if (!thread_.joinable()) return;
    queue_.push_back({std::nullopt, std::move(job)});
  }
  wake_.notify_one();
}

void DeviceIoWorker::PostCoalesced(std::uint32_t key, Job job) {
  {
    std::scoped_lock lock(mutex_);
    if (!thread_.joinable()) return;
    const auto waiting = std::find_if(queue_.begin(), queue_.end(), [key](const Entry& e) { return e.key == key; });
    if (waiting != queue_.end())
      waiting->job = std::move(job);
    else
      queue_.push_back({key, std::move(job)});
  }
  wake_.notify_one();
}

void DeviceIoWorker::PostFrame(Job job) {
  {
    std::scoped_lock lock(mutex_);
    if (!thread_.joinable()) return;
    if (frame_) ++frames_replaced_;
    frame_ = std::move(job);
  }
  wake_.notify_one();
}

bool DeviceIoWorker::Busy() const {
  std::scoped_lock lock(mutex_);
  return running_job_ || !queue_.empty() || frame_;
}

std::uint64_t DeviceIoWorker::frames_replaced() const {
  std::scoped_lock lock(mutex_);
  return frames_replaced_;
}

void DeviceIoWorker::Run(std::stop_token stop) {
  // Named, so that a thread list (top -H, a debugger, the benchmarks) tells it apart.
  ::pthread_setname_np(::pthread_self(), "brontal-io");
  std::unique_lock lock(mutex_);
  while (true) {
    wake_.wait(lock, stop, [this] { return !queue_.empty() || frame_; });
    if (stop.stop_requested()) return;
    Job job;
    if (!queue_.empty()) {
      job = std::move(queue_.front().job);
      queue_.pop_front();
    } else {
      job = std::move(frame_);
      frame_ = nullptr;
    }
    running_job_ = true;
    lock.unlock();
    job();
    lock.lock();
    running_job_ = false;
  }
}

}  // namespace brontal
