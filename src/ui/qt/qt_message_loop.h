#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "ui/toolkit/message_loop.h"

namespace brontal {

// The program's loop on Qt's event loop. Needs a QCoreApplication (or one of
// its subclasses) made before it on the same thread. Qt stays out of this
// header so that the toolkit's users never include Qt.
class QtMessageLoop final : public MessageLoop {
 public:
  QtMessageLoop();
  ~QtMessageLoop() override;
  QtMessageLoop(const QtMessageLoop&) = delete;
  QtMessageLoop& operator=(const QtMessageLoop&) = delete;

  TimerId StartTimer(std::chrono::milliseconds period, std::function<void()> on_expiry) override;
  void StopTimer(TimerId id) override;
  int Run() override;
  void Exit(int code) override;
  void Quit(int code) override;
  bool IsLoopThread() const override { return std::this_thread::get_id() == thread_; }

 protected:
  void Enqueue(QueuedTask task) override;

 private:
  class Receiver;

  const std::thread::id thread_;
  // Orders late posts against the queue's removal at quit, and is the
  // hand-over point of every posted task (the receiver takes it too).
  std::mutex enqueue_mutex_;
  std::unique_ptr<Receiver> receiver_;
  std::optional<int> quit_code_;
  bool quitting_ = false;
};

}  // namespace brontal
