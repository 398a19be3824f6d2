#include "ui/qt/qt_message_loop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QObject>
#include <QTimerEvent>
#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "ui/toolkit/queued_task.h"

namespace brontal {
namespace {

const QEvent::Type kTaskEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
// Glib's dispatcher does not wake a level started inside a task for tasks that
// were queued before it; a fresh event makes it look at the queue again.
const QEvent::Type kWakeEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// Qt deletes events it never delivers; the task inside then releases its sender.
class TaskEvent final : public QEvent {
 public:
  explicit TaskEvent(QueuedTask task) : QEvent(kTaskEvent), task_(std::move(task)) {}
  QueuedTask Take() { return std::move(task_); }

 private:
  QueuedTask task_;
};

}  // namespace

class QtMessageLoop::Receiver final : public QObject {
 public:
  explicit Receiver(std::mutex& posting_mutex) : posting_mutex_(posting_mutex) {}

  TimerId Start(std::chrono::milliseconds period, std::function<void()> on_expiry) {
    const int qt_id = startTimer(std::max(period, kMinimumTimerPeriod), Qt::PreciseTimer);
    const TimerId id = next_id_++;
    timers_.emplace(qt_id, Timer{id, std::make_shared<const std::function<void()>>(std::move(on_expiry))});
    return id;
  }

  void Stop(TimerId id) {
    const auto it = std::find_if(timers_.begin(), timers_.end(), [id](const auto& t) { return t.second.id == id; });
    if (it == timers_.end()) return;
    killTimer(it->first);
    timers_.erase(it);
  }

  void StopAll() {
    for (const auto& [qt_id, timer] : timers_) killTimer(qt_id);
    timers_.clear();
  }

  int RunLevel() {
    QEventLoop level;
    levels_.push_back(&level);
    QCoreApplication::postEvent(this, new QEvent(kWakeEvent));
    const int code = level.exec();
    levels_.pop_back();
    return code;
  }

  void ExitInnermost(int code) {
    if (!levels_.empty()) levels_.back()->exit(code);
  }

  void ExitAll(int code) {
    for (QEventLoop* level : levels_) level->exit(code);
  }

 protected:
  bool event(QEvent* event) override {
    // Qt hands a posted event over under its own locks, which the thread
    // sanitizer cannot see; taking the mutex the poster held makes the
    // hand-over visible to it.
    std::unique_lock handover(posting_mutex_);
    const QEvent::Type type = event->type();
    if (type == kWakeEvent) return true;
    if (type != kTaskEvent) {
      handover.unlock();
      return QObject::event(event);
    }
    QueuedTask task = static_cast<TaskEvent*>(event)->Take();
    handover.unlock();
    task.Run();
    return true;
  }

  void timerEvent(QTimerEvent* event) override {
    const auto it = timers_.find(event->timerId());
    if (it == timers_.end()) return;
    const auto on_expiry = it->second.on_expiry;  // the callback may stop its own timer
    (*on_expiry)();
  }

 private:
  struct Timer {
    TimerId id;
    std::shared_ptr<const std::function<void()>> on_expiry;
  };
  std::mutex& posting_mutex_;
  std::map<int, Timer> timers_;  // by Qt's timer id
  TimerId next_id_ = 1;
  std::vector<QEventLoop*> levels_;
};

QtMessageLoop::QtMessageLoop() : thread_(std::this_thread::get_id()), receiver_(std::make_unique<Receiver>(enqueue_mutex_)) {}

QtMessageLoop::~QtMessageLoop() = default;

void QtMessageLoop::Enqueue(QueuedTask task) {
  std::scoped_lock lock(enqueue_mutex_);
  if (quitting_) return;
  // postEvent is thread-safe and takes ownership of the event.
  QCoreApplication::postEvent(receiver_.get(), new TaskEvent(std::move(task)));
}

TimerId QtMessageLoop::StartTimer(std::chrono::milliseconds period, std::function<void()> on_expiry) {
  return receiver_->Start(period, std::move(on_expiry));
}

void QtMessageLoop::StopTimer(TimerId id) { receiver_->Stop(id); }

int QtMessageLoop::Run() {
  if (quit_code_) return *quit_code_;
  return receiver_->RunLevel();
}

void QtMessageLoop::Exit(int code) { receiver_->ExitInnermost(code); }

void QtMessageLoop::Quit(int code) {
  if (quit_code_) return;
  quit_code_ = code;
  receiver_->StopAll();
  receiver_->ExitAll(code);
  std::scoped_lock lock(enqueue_mutex_);
  quitting_ = true;
  QCoreApplication::removePostedEvents(receiver_.get(), kTaskEvent);
}

}  // namespace brontal
