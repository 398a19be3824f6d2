#include "ui/qt/window_widget.h"

#include <QCloseEvent>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QWindow>

#include "ui/qt/control_style.h"
#include "ui/qt/skin_layout.h"
#include "ui/toolkit/attribute_values.h"
#include "ui/toolkit/window.h"

namespace brontal {

WindowWidget::WindowWidget(WindowImplBase& window, std::function<void()> report_positions)
    : window_(&window), report_positions_(std::move(report_positions)) {
  new SkinLayout(this, SkinLayout::Direction::kOverlay);
  // A click on a spot no control takes still moves the focus off an edit, as
  // the toolkit's "killfocus" commits expect.
  setFocusPolicy(Qt::ClickFocus);
  // A new window has no focused control: Qt would focus the first one.
  setFocus(Qt::OtherFocusReason);
}

void WindowWidget::Detach() { window_ = nullptr; }

void WindowWidget::Apply() {
  if (!window_) return;
  setWindowTitle(QString::fromStdString(window_->GetTitle()));
  const auto font = window_->GetPaintManager().GetDefaultFont();
  setFont(font ? QtFont(*font) : QFont());
  ApplyFlags();
  const Rect& rect = window_->GetRect();
  if (!rect.IsEmpty()) setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
  setVisible(window_->IsVisible());
}

void WindowWidget::ApplyFlags() {
  // A pop-up closes when the user clicks anywhere else.
  const bool popup = window_->GetLayoutAttribute("popup") == "true";
  const Qt::WindowType type = popup ? Qt::Popup : window_->IsModal() || window_->GetOwner() ? Qt::Dialog : Qt::Window;
  const bool frameless = !window_->GetLayoutAttribute("caption").empty();
  const Qt::WindowModality modality = window_->IsModal() ? Qt::ApplicationModal : Qt::NonModal;
  if (windowType() == type && windowFlags().testFlag(Qt::FramelessWindowHint) == frameless &&
      windowModality() == modality) {
    return;
  }
  // Flags and modality take effect when the window is next shown; Apply shows it again.
  hide();
  setWindowFlags(frameless ? type | Qt::FramelessWindowHint : type);
  setWindowModality(modality);
}

void WindowWidget::MarkPositionsStale() {
  if (positions_stale_) return;
  positions_stale_ = true;
  QMetaObject::invokeMethod(
      this, [this] { ReportPositionsNow(); }, Qt::QueuedConnection);
}

void WindowWidget::ReportPositionsNow() {
  if (!positions_stale_ || !window_) return;
  positions_stale_ = false;
  report_positions_();
}

bool WindowWidget::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) Post(kWmActivate, 1);
  if (event->type() == QEvent::WindowDeactivate) Post(kWmActivate, 0);
  return QWidget::event(event);
}

void WindowWidget::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  Post(kWmMouseHover);
}

void WindowWidget::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  Post(kWmMouseLeave);
}

void WindowWidget::Post(std::uint32_t message, std::uintptr_t wparam) {
  if (window_) window_->PostMessage(WindowMessage(message, wparam));
}

void WindowWidget::closeEvent(QCloseEvent* event) {
  // The window decides: the program may hide it, or keep it.
  event->ignore();
  if (window_) window_->PostMessage(WindowMessage(kWmClose));
}

void WindowWidget::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  ReportRect();
}

void WindowWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ReportRect();
}

void WindowWidget::ReportRect() {
  if (!window_) return;
  const QRect g = geometry();
  const Rect rect{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
  if (rect != window_->GetRect()) window_->SetRect(rect);
}

void WindowWidget::mousePressEvent(QMouseEvent* event) {
  const auto caption = window_ ? ParseRectAttribute(window_->GetLayoutAttribute("caption")) : std::nullopt;
  if (caption && event->button() == Qt::LeftButton) {
    const QRect band(caption->left, caption->top, width() - caption->left - caption->right, caption->Height());
    if (band.contains(event->position().toPoint()) && windowHandle() && windowHandle()->startSystemMove()) {
      event->accept();
      return;
    }
  }
  QWidget::mousePressEvent(event);
}

}  // namespace brontal
