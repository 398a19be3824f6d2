#include "input_capture/capture_thread.h"

#include <pthread.h>

#include <cerrno>
#include <cstring>

namespace brontal {

bool CaptureThread::Start(MessageLoop& loop, CaptureSink sink, const char* name, Body body, std::string& reason) {
  Stop();
  auto stop = std::make_unique<StopSignal>();
  if (!stop->valid()) {
    reason = std::string("cannot make a thread's stop signal: ") + std::strerror(errno);
    return false;
  }
  stop_ = std::move(stop);
  delivery_ = std::make_unique<CaptureDelivery>(loop, std::move(sink));
  thread_ = std::thread(std::move(body), std::cref(*stop_), std::cref(*delivery_));
  ::pthread_setname_np(thread_.native_handle(), name);
  return true;
}

void CaptureThread::Stop() {
  if (!thread_.joinable()) return;
  delivery_->Close();
  stop_->Raise();
  thread_.join();
  delivery_.reset();
  stop_.reset();
}

}  // namespace brontal
