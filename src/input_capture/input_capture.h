#pragma once

#include <cstdint>
#include <string>

#include "input_capture/captured_input.h"
#include "ui/toolkit/geometry.h"

namespace brontal {

// Where captured input comes from; the macro panel tells the user, since only
// the first two see what is typed into other programs.
enum class CaptureBackend {
  kX11,        // XInput2 raw events of the X11 session
  kEvdev,      // the keyboards' and mice's event nodes
  kOwnWindow,  // only what reaches our own window (Wayland)
};

// Watches keyboard and mouse input without taking it from anyone: no device is
// grabbed, every program still gets its input, and auto-repeat is left out.
class InputCapture {
 public:
  virtual ~InputCapture() = default;

  virtual CaptureBackend backend() const = 0;

  // From now until Stop, every key and button goes to `sink` on the loop's
  // thread. False, with the reason to show the user, when capture cannot run;
  // then nothing arrives. A running capture is stopped first. Loop thread.
  virtual bool Start(CaptureSink sink, std::string& reason) = 0;
  // Nothing reaches the sink after this returns, not even input already
  // queued. Harmless when not started. Loop thread.
  virtual void Stop() = 0;

  // Our window's own key and button events, which the window always passes on.
  // Only the own-window backend takes them: the others see that input already.
  // `xkb_keycode` is the evdev key code plus 8, which X11 and Wayland both
  // report (Qt: QKeyEvent::nativeScanCode()).
  virtual void OnWindowKey(std::uint32_t /*xkb_keycode*/, bool /*down*/, bool /*auto_repeat*/) {}
  virtual void OnWindowButton(MouseButton /*button*/, bool /*down*/, Point /*in_window*/) {}
};

}  // namespace brontal
