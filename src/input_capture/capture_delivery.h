#pragma once

#include <memory>

#include "input_capture/captured_input.h"
#include "ui/toolkit/message_loop.h"

namespace brontal {

// Carries captured input from any thread to a sink on the UI loop, and cuts it
// off the moment it is closed: input still queued then is dropped rather than
// handed to a recording that has ended.
class CaptureDelivery {
 public:
  CaptureDelivery(MessageLoop& loop, CaptureSink sink);
  // Closes; loop thread.
  ~CaptureDelivery();
  CaptureDelivery(const CaptureDelivery&) = delete;
  CaptureDelivery& operator=(const CaptureDelivery&) = delete;

  // Any thread.
  void Post(const CapturedInput& input) const;
  // Loop thread.
  void Close();

 private:
  struct Receiver;

  MessageLoop& loop_;
  const std::shared_ptr<Receiver> receiver_;  // the queued tasks share it
};

}  // namespace brontal
