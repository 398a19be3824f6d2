#pragma once

#include <memory>

#include "input_capture/capture_delivery.h"
#include "input_capture/input_capture.h"

namespace brontal {

// The input our own window receives, which is all a Wayland client may see.
// Posted like the others, so the sink never runs inside the window's handler.
class OwnWindowCapture final : public InputCapture {
 public:
  explicit OwnWindowCapture(MessageLoop& loop);

  CaptureBackend backend() const override { return CaptureBackend::kOwnWindow; }
  bool Start(CaptureSink sink, std::string& reason) override;
  void Stop() override;

  void OnWindowKey(std::uint32_t xkb_keycode, bool down, bool auto_repeat) override;
  void OnWindowButton(MouseButton button, bool down, Point in_window) override;

 private:
  MessageLoop& loop_;
  std::unique_ptr<CaptureDelivery> delivery_;  // while started
};

}  // namespace brontal
