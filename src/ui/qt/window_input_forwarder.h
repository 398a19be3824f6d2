#pragma once

#include <QObject>
#include <cstdint>
#include <functional>

namespace brontal {

// Hands the program's own key and mouse button events on as they reach its
// windows, untouched (the events go on to the widgets as before): the only
// input a Wayland session lets a program see, for macro recording and key
// capture there.
class WindowInputForwarder final : public QObject {
 public:
  enum class Button { kLeft, kRight, kMiddle, kBack, kForward };
  struct Sinks {
    std::function<void(std::uint32_t native_scan_code, bool down, bool auto_repeat)> key;
    std::function<void(Button button, bool down, int x, int y)> button;  // window coordinates
  };

  explicit WindowInputForwarder(Sinks sinks) : sinks_(std::move(sinks)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Sinks sinks_;
};

}  // namespace brontal
