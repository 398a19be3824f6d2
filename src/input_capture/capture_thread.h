#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "input_capture/capture_delivery.h"
#include "input_capture/input_capture.h"
#include "input_capture/stop_signal.h"

namespace brontal {

// A system-wide capture's reading thread, with the stop signal it waits on and
// the delivery it posts through. Stopping closes the delivery first, so that
// nothing read afterwards reaches the sink.
class CaptureThread {
 public:
  using Body = std::function<void(const StopSignal& stop, const CaptureDelivery& delivery)>;

  ~CaptureThread() { Stop(); }

  // False, with the reason, when the stop signal cannot be made.
  bool Start(MessageLoop& loop, CaptureSink sink, const char* name, Body body, std::string& reason);
  void Stop();

 private:
  std::unique_ptr<CaptureDelivery> delivery_;
  std::unique_ptr<StopSignal> stop_;
  std::thread thread_;
};

}  // namespace brontal
