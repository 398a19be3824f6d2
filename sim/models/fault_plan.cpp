#include "models/fault_plan.h"

namespace brontal::sim {
namespace {

bool TakeOne(unsigned& counter) {
  if (counter == 0) return false;
  --counter;
  return true;
}

}  // namespace

void FaultPlan::SetExtraLatency(std::chrono::microseconds latency) {
  std::scoped_lock lock(mutex_);
  extra_latency_ = latency;
}

void FaultPlan::DropReplies(unsigned count) {
  std::scoped_lock lock(mutex_);
  drop_ = count;
}

void FaultPlan::WrongEcho(unsigned count) {
  std::scoped_lock lock(mutex_);
  wrong_echo_ = count;
}

void FaultPlan::StrayRepliesBeforeNextReply(unsigned count) {
  std::scoped_lock lock(mutex_);
  stray_replies_ = count;
}

void FaultPlan::ErrorStatus(std::uint8_t status, unsigned count) {
  std::scoped_lock lock(mutex_);
  error_status_ = status;
  error_count_ = count;
}

void FaultPlan::DelayNextReply(std::chrono::microseconds delay) {
  std::scoped_lock lock(mutex_);
  next_delay_ = delay;
}

void FaultPlan::UnplugAfter(unsigned commands) {
  std::scoped_lock lock(mutex_);
  unplug_after_ = commands;
}

void FaultPlan::Clear() {
  std::scoped_lock lock(mutex_);
  extra_latency_ = std::chrono::microseconds{0};
  drop_ = wrong_echo_ = stray_replies_ = error_count_ = 0;
  next_delay_.reset();
  unplug_after_.reset();
}

ReplyFault FaultPlan::TakeForNextCommand() {
  std::scoped_lock lock(mutex_);
  ReplyFault fault;
  if (unplug_after_ && !TakeOne(*unplug_after_)) {
    unplug_after_.reset();
    fault.unplug = true;
    return fault;
  }
  fault.drop = TakeOne(drop_);
  if (TakeOne(error_count_)) fault.status = error_status_;
  fault.wrong_echo = TakeOne(wrong_echo_);
  fault.stray_replies = stray_replies_;
  stray_replies_ = 0;
  fault.delay = extra_latency_ + next_delay_.value_or(std::chrono::microseconds{0});
  next_delay_.reset();
  return fault;
}

}  // namespace brontal::sim
