#pragma once

#include <memory>
#include <string>

#include "input_capture/capture_thread.h"
#include "input_capture/input_capture.h"

namespace brontal {

// The X11 session's XInput2 raw key and button events, on a thread with a
// display connection of its own. Raw events reach every client that asks,
// whoever has the focus, and take nothing from anyone; they need no rights.
class X11InputCapture final : public InputCapture {
 public:
  X11InputCapture(MessageLoop& loop, std::string display_name);
  ~X11InputCapture() override;

  CaptureBackend backend() const override { return CaptureBackend::kX11; }
  // Fails when the display cannot be reached or has no XInput 2.
  bool Start(CaptureSink sink, std::string& reason) override;
  void Stop() override;

 private:
  struct Connection;

  MessageLoop& loop_;
  const std::string display_name_;
  std::unique_ptr<Connection> connection_;
  CaptureThread thread_;
};

}  // namespace brontal
