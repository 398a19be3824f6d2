#include "ui/qt/window_input_forwarder.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <optional>

namespace brontal {
namespace {

std::optional<WindowInputForwarder::Button> ButtonOf(Qt::MouseButton button) {
  using B = WindowInputForwarder::Button;
  switch (button) {
    case Qt::LeftButton: return B::kLeft;
    case Qt::RightButton: return B::kRight;
    case Qt::MiddleButton: return B::kMiddle;
    case Qt::BackButton: return B::kBack;
    case Qt::ForwardButton: return B::kForward;
    default: return std::nullopt;
  }
}

}  // namespace

bool WindowInputForwarder::eventFilter(QObject* watched, QEvent* event) {
  // A window gets each event once; its widgets may see it again as it propagates.
  if (!watched->isWindowType()) return false;
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      if (sinks_.key) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        sinks_.key(key->nativeScanCode(), event->type() == QEvent::KeyPress, key->isAutoRepeat());
      }
      break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
      if (sinks_.button) {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        if (const std::optional<Button> button = ButtonOf(mouse->button())) {
          const QPoint at = mouse->position().toPoint();
          sinks_.button(*button, event->type() == QEvent::MouseButtonPress, at.x(), at.y());
        }
      }
      break;
    default: break;
  }
  return false;
}

}  // namespace brontal
