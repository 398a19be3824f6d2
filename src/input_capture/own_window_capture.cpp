#include "input_capture/own_window_capture.h"

#include <utility>

#include "input_capture/evdev_key_table.h"

namespace brontal {

OwnWindowCapture::OwnWindowCapture(MessageLoop& loop) : loop_(loop) {}

bool OwnWindowCapture::Start(CaptureSink sink, std::string& /*reason*/) {
  delivery_ = std::make_unique<CaptureDelivery>(loop_, std::move(sink));
  return true;
}

void OwnWindowCapture::Stop() { delivery_.reset(); }

void OwnWindowCapture::OnWindowKey(std::uint32_t xkb_keycode, bool down, bool auto_repeat) {
  if (!delivery_ || auto_repeat || xkb_keycode < kXkbKeycodeOffset) return;
  if (const std::optional<ScanCode> key = ScanCodeForEvdevKey(xkb_keycode - kXkbKeycodeOffset))
    delivery_->Post({.event = CapturedKey{.key = *key, .down = down}, .time = CaptureClock::now()});
}

void OwnWindowCapture::OnWindowButton(MouseButton button, bool down, Point in_window) {
  if (delivery_)
    delivery_->Post(
        {.event = CapturedButton{.button = button, .down = down, .in_window = in_window}, .time = CaptureClock::now()});
}

}  // namespace brontal
