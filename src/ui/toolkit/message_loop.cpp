#include "ui/toolkit/message_loop.h"

#include <memory>
#include <utility>

#include "ui/toolkit/queued_task.h"

namespace brontal {

void MessageLoop::Post(std::function<void()> task) { Enqueue(QueuedTask(std::move(task))); }

bool MessageLoop::Send(std::function<void()> task, std::stop_token stop) {
  if (IsLoopThread()) {
    task();
    return true;
  }
  auto handshake = std::make_shared<SendHandshake>();
  Enqueue(QueuedTask(std::move(task), handshake));
  return handshake->Wait(std::move(stop));
}

}  // namespace brontal
