#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "ui/toolkit/message_loop.h"
#include "ui/toolkit/queued_task.h"

namespace brontal {

// The loop of the tests: its clock is virtual and moves only when told, so a
// test of a 3000 ms retry takes no real time.
class ManualMessageLoop final : public MessageLoop {
 public:
  ManualMessageLoop();

  // Virtual time since the loop was made.
  std::chrono::milliseconds Now() const { return now_; }

  // Runs queued tasks, including those they queue, until none is left.
  void RunUntilIdle();
  // Tasks posted or sent and not yet run.
  std::size_t QueuedTasks();

  // Moves the clock forward by `span`, firing every timer that falls due on the
  // way in deadline order (ties in the order the timers were started) with the
  // clock standing at each deadline, and running the queue after each.
  void AdvanceBy(std::chrono::milliseconds span);

  TimerId StartTimer(std::chrono::milliseconds period, std::function<void()> on_expiry) override;
  void StopTimer(TimerId id) override;

  // Runs the queue; when it is empty, jumps the clock to the next timer, and
  // with no timer either, waits for another thread to post or send.
  int Run() override;
  void Exit(int code) override;
  void Quit(int code) override;
  bool IsLoopThread() const override { return std::this_thread::get_id() == thread_; }

 protected:
  void Enqueue(QueuedTask task) override;

 private:
  struct Timer {
    std::chrono::milliseconds period;
    std::chrono::milliseconds deadline;
    std::shared_ptr<const std::function<void()>> on_expiry;
  };

  bool RunOneQueued();
  std::map<TimerId, Timer>::iterator NextDue();
  void Fire(std::map<TimerId, Timer>::iterator timer);

  const std::thread::id thread_;
  std::chrono::milliseconds now_{0};
  std::map<TimerId, Timer> timers_;
  TimerId next_timer_id_ = 1;
  std::vector<std::optional<int>> level_exit_codes_;  // one per running level
  std::optional<int> quit_code_;

  std::mutex mutex_;  // guards the queue and `quitting_`
  std::condition_variable work_arrived_;
  std::deque<QueuedTask> queue_;
  bool quitting_ = false;
};

}  // namespace brontal
