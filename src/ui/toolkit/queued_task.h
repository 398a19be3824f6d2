#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>

namespace brontal {

// The meeting point of a sending thread and the loop thread.
class SendHandshake {
 public:
  // Loop side. Begin returns false when the sender has already given up.
  bool Begin();
  void Finish();
  void Abandon();

  // Sender side: true once the task has run, false when it never will.
  bool Wait(std::stop_token stop);

 private:
  enum class State { kWaiting, kRunning, kDone, kAbandoned };
  std::mutex mutex_;
  std::condition_variable_any changed_;
  State state_ = State::kWaiting;
};

// One entry of a loop's queue: a posted task, or a sent one whose sender waits.
// Destroying a sent task that never ran releases its sender, so a loop that
// drops its queue (quit, destruction) can never leave a thread blocked.
class QueuedTask {
 public:
  explicit QueuedTask(std::function<void()> work, std::shared_ptr<SendHandshake> sender = nullptr);
  QueuedTask(QueuedTask&& other) noexcept = default;
  QueuedTask& operator=(QueuedTask&& other) noexcept;
  QueuedTask(const QueuedTask&) = delete;
  QueuedTask& operator=(const QueuedTask&) = delete;
  ~QueuedTask();

  void Run();

 private:
  std::function<void()> work_;
  std::shared_ptr<SendHandshake> sender_;
};

}  // namespace brontal
