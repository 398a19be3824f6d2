#include "ui/toolkit/queued_task.h"

#include <utility>

namespace brontal {

bool SendHandshake::Begin() {
  std::scoped_lock lock(mutex_);
  if (state_ != State::kWaiting) return false;
  state_ = State::kRunning;
  return true;
}

void SendHandshake::Finish() {
  {
    std::scoped_lock lock(mutex_);
    state_ = State::kDone;
  }
  changed_.notify_all();
}

void SendHandshake::Abandon() {
  {
    std::scoped_lock lock(mutex_);
    if (state_ != State::kWaiting) return;
    state_ = State::kAbandoned;
  }
  changed_.notify_all();
}

bool SendHandshake::Wait(std::stop_token stop) {
  std::unique_lock lock(mutex_);
  const auto settled = [this] { return state_ == State::kDone || state_ == State::kAbandoned; };
  changed_.wait(lock, stop, settled);
  if (state_ == State::kWaiting) state_ = State::kAbandoned;
  // The task may refer to the sender's stack: once started it must finish first.
  changed_.wait(lock, settled);
  return state_ == State::kDone;
}

QueuedTask::QueuedTask(std::function<void()> work, std::shared_ptr<SendHandshake> sender)
    : work_(std::move(work)), sender_(std::move(sender)) {}

QueuedTask& QueuedTask::operator=(QueuedTask&& other) noexcept {
  if (this != &other) {
    if (sender_) sender_->Abandon();
    work_ = std::move(other.work_);
    sender_ = std::move(other.sender_);
  }
  return *this;
}

QueuedTask::~QueuedTask() {
  if (sender_) sender_->Abandon();
}

void QueuedTask::Run() {
  if (!sender_) {
    work_();
    return;
  }
  const std::shared_ptr<SendHandshake> sender = std::exchange(sender_, nullptr);
  if (!sender->Begin()) return;
  struct FinishOnExit {
    SendHandshake& handshake;
    ~FinishOnExit() { handshake.Finish(); }
  } finish{*sender};
  work_();
}

}  // namespace brontal
