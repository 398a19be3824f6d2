#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <stop_token>

namespace brontal {

class QueuedTask;

using TimerId = std::uint64_t;

// Shorter periods would let a timer fire forever at one instant of a virtual clock.
inline constexpr std::chrono::milliseconds kMinimumTimerPeriod{1};

// The UI thread's message loop. Everything visible, every timer and every
// window message runs on the thread that created the loop; other threads reach
// it only through Post and Send.
//
// Timers, Run, Exit and Quit belong to the loop thread.
//
// Levels: Run may be called again from inside a task (a modal window runs its
// own level). Exit ends the innermost level; Quit ends every level for good,
// after which posted work is dropped and senders are released with false.
class MessageLoop {
 public:
  virtual ~MessageLoop() = default;

  // Queues a task; any thread. Tasks run in the order they were queued.
  void Post(std::function<void()> task);

  // Runs a task on the loop's thread and waits until it has run; any thread.
  // On the loop's own thread the task runs at once. Returns false, without the
  // task having run, when the loop quits first or `stop` is requested while the
  // task still waits; a task that has started is always waited for.
  bool Send(std::function<void()> task, std::stop_token stop = {});

  // Repeating timer on the loop's thread, first expiry one period from now.
  // Periods below 1 ms count as 1 ms. Loop thread only.
  virtual TimerId StartTimer(std::chrono::milliseconds period, std::function<void()> on_expiry) = 0;
  // Safe from inside any timer's callback, including the timer's own.
  virtual void StopTimer(TimerId id) = 0;

  virtual int Run() = 0;
  virtual void Exit(int code) = 0;
  virtual void Quit(int code) = 0;

  virtual bool IsLoopThread() const = 0;

 protected:
  // Takes ownership of the task; a task that is dropped unrun releases its sender.
  virtual void Enqueue(QueuedTask task) = 0;
};

}  // namespace brontal
