#include "ui/toolkit/manual_message_loop.h"

#include <algorithm>
#include <utility>

namespace brontal {

ManualMessageLoop::ManualMessageLoop() : thread_(std::this_thread::get_id()) {}

void ManualMessageLoop::Enqueue(QueuedTask task) {
  std::unique_lock lock(mutex_);
  if (quitting_) {
    lock.unlock();
    return;  // `task` is dropped here and releases a waiting sender
  }
  queue_.push_back(std::move(task));
  lock.unlock();
  work_arrived_.notify_one();
}

bool ManualMessageLoop::RunOneQueued() {
  std::unique_lock lock(mutex_);
  if (queue_.empty()) return false;
  QueuedTask task = std::move(queue_.front());
  queue_.pop_front();
  lock.unlock();
  task.Run();
  return true;
}

void ManualMessageLoop::RunUntilIdle() {
  while (RunOneQueued()) {
  }
}

std::size_t ManualMessageLoop::QueuedTasks() {
  const std::lock_guard lock(mutex_);
  return queue_.size();
}

TimerId ManualMessageLoop::StartTimer(std::chrono::milliseconds period, std::function<void()> on_expiry) {
  period = std::max(period, kMinimumTimerPeriod);
  const TimerId id = next_timer_id_++;
  timers_.emplace(id,
                  Timer{period, now_ + period, std::make_shared<const std::function<void()>>(std::move(on_expiry))});
  return id;
}

void ManualMessageLoop::StopTimer(TimerId id) { timers_.erase(id); }

std::map<TimerId, ManualMessageLoop::Timer>::iterator ManualMessageLoop::NextDue() {
  // Ids grow with every start, so the first of equal deadlines is the oldest timer.
  return std::min_element(timers_.begin(), timers_.end(),
                          [](const auto& a, const auto& b) { return a.second.deadline < b.second.deadline; });
}

void ManualMessageLoop::Fire(std::map<TimerId, Timer>::iterator timer) {
  now_ = timer->second.deadline;
  timer->second.deadline += timer->second.period;
  const auto on_expiry = timer->second.on_expiry;  // the callback may stop its own timer
  (*on_expiry)();
}

void ManualMessageLoop::AdvanceBy(std::chrono::milliseconds span) {
  const auto target = now_ + span;
  RunUntilIdle();
  for (auto due = NextDue(); due != timers_.end() && due->second.deadline <= target; due = NextDue()) {
    Fire(due);
    RunUntilIdle();
  }
  now_ = target;
}

int ManualMessageLoop::Run() {
  if (quit_code_) return *quit_code_;
  const std::size_t level = level_exit_codes_.size();
  level_exit_codes_.emplace_back();
  while (!level_exit_codes_[level]) {
    if (RunOneQueued()) continue;
    if (!timers_.empty()) {
      Fire(NextDue());
      continue;
    }
    std::unique_lock lock(mutex_);
    work_arrived_.wait(lock, [this] { return !queue_.empty() || quitting_; });
  }
  const int code = *level_exit_codes_[level];
  level_exit_codes_.pop_back();
  return code;
}

void ManualMessageLoop::Exit(int code) {
  if (!level_exit_codes_.empty() && !level_exit_codes_.back()) level_exit_codes_.back() = code;
}

void ManualMessageLoop::Quit(int code) {
  if (quit_code_) return;
  quit_code_ = code;
  for (auto& exit_code : level_exit_codes_) {
    if (!exit_code) exit_code = code;
  }
  timers_.clear();
  std::deque<QueuedTask> dropped;
  {
    std::scoped_lock lock(mutex_);
    quitting_ = true;
    dropped.swap(queue_);
  }
  work_arrived_.notify_all();
}

}  // namespace brontal
