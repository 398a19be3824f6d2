#include "ui/qt/drawn_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

#include "ui/controls/color_palette_ui.h"
#include "ui/controls/device_key_button_ui.h"
#include "ui/controls/select_panel_ui.h"
#include "ui/qt/control_style.h"
#include "ui/qt/window_widget.h"
#include "ui/toolkit/attribute_values.h"

namespace brontal {
namespace {

void DrawImage(QPainter& painter, const QRect& area, const CControlUI& control, std::string_view image) {
  const QPixmap pixmap = SkinPixmap(control, image);
  if (!pixmap.isNull()) painter.drawPixmap(area, pixmap);
}

void DrawKeyLayers(QPainter& painter, const QRect& area, const CDeviceKeyButtonUI& key) {
  for (const CDeviceKeyButtonUI::ImageLayer& layer : key.GetImageLayers()) {
    painter.setOpacity(layer.light_overlay ? key.GetOverlayParameters().first / 255.0 : 1.0);
    DrawImage(painter, area, key, layer.image);
  }
  painter.setOpacity(1.0);
}

constexpr double kDisabledPaletteOpacity = 0.3;

// Hue across, then white fading to the pure hue at mid-height and on to black.
void DrawPalette(QPainter& painter, const QRect& area, const CColorPaletteUI& palette) {
  QLinearGradient hues(area.topLeft(), area.topRight());
  for (int sixth = 0; sixth <= 6; ++sixth) hues.setColorAt(sixth / 6.0, QColor::fromHsv(sixth * 60 % 360, 255, 255));
  painter.fillRect(area, hues);
  // Each half blends one colour in by its own alpha, so the result is exact HSL.
  const auto fade = [&painter](const QRect& half, QColor from, QColor to) {
    QLinearGradient blend(half.topLeft(), half.bottomLeft());
    blend.setColorAt(0, from);
    blend.setColorAt(1, to);
    painter.fillRect(half, blend);
  };
  const int middle = area.height() / 2;
  fade(area.adjusted(0, 0, 0, middle - area.height()), Qt::white, QColor(255, 255, 255, 0));
  fade(area.adjusted(0, middle, 0, 0), QColor(0, 0, 0, 0), Qt::black);
  const CColorPaletteUI::Place place = palette.SelectedPlace();
  const QPointF ring(area.left() + place.across * (area.width() - 1), area.top() + place.down * (area.height() - 1));
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(place.down < 0.5 ? Qt::black : Qt::white, 2));
  painter.drawEllipse(ring, 5, 5);
}

}  // namespace

DrawnWidget::DrawnWidget(CControlUI& control, QWidget* parent, bool forwards_input)
    : QWidget(parent), control_(&control), forwards_input_(forwards_input) {
  if (forwards_input_) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
  }
}

void DrawnWidget::Refresh() {
  update();
  const auto* panel = dynamic_cast<const CSelectPanelUI*>(control_);
  if (!panel || (!band_ && !panel->IsDragging())) return;
  if (!band_) band_ = new QRubberBand(QRubberBand::Rectangle, this);
  if (!panel->IsDragging()) {
    band_->hide();
    return;
  }
  const Rect& selection = panel->GetSelectionRect();
  const QPoint corner = mapFrom(window(), QPoint(selection.left, selection.top));
  band_->setGeometry(QRect(corner, QSize(selection.Width(), selection.Height())));
  band_->raise();  // over the keys
  band_->show();
}

void DrawnWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // What the skin's style sheet gives this widget comes first.
  QStyleOption option;
  option.initFrom(this);
  style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
  if (!control_) return;
  const CControlUI& control = *control_;
  const auto* key = dynamic_cast<const CDeviceKeyButtonUI*>(&control);
  if (control.GetBkColor() != 0) painter.fillRect(rect(), QtColor(control.GetBkColor()));
  DrawImage(painter, rect(), control, control.GetBkImage());
  DrawImage(painter, rect(), control, StatusImage(control));
  if (key) DrawKeyLayers(painter, rect(), *key);
  if (const auto* palette = dynamic_cast<const CColorPaletteUI*>(&control)) {
    // Faded while it takes no picks, as the native widgets grey out.
    painter.setOpacity(isEnabled() ? 1.0 : kDisabledPaletteOpacity);
    DrawPalette(painter, rect(), *palette);
    painter.setOpacity(1.0);
  }
  DrawImage(painter, rect(), control, control.GetForeImage());
  if (const QString text = QString::fromStdString(control.GetText()); !text.isEmpty()) {
    const auto color = ParseColorAttribute(control.GetAttribute("textcolor"));
    painter.setPen(color ? QtColor(*color) : palette().color(QPalette::WindowText));
    DrawLabel(painter, text, TextAlignment(control, Qt::AlignCenter));
  }
  if (key && key->IsSelected()) {
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
  }
}

void DrawnWidget::DrawLabel(QPainter& painter, const QString& text, Qt::Alignment alignment) {
  if (label_.text() != text) {
    label_.setTextFormat(Qt::PlainText);
    label_.setText(text);
  }
  const QSizeF size = label_.size();
  const QRectF area = rect();
  qreal x = area.left() + (area.width() - size.width()) / 2;
  if (alignment & Qt::AlignLeft) x = area.left();
  if (alignment & Qt::AlignRight) x = area.right() - size.width();
  qreal y = area.top() + (area.height() - size.height()) / 2;
  if (alignment & Qt::AlignTop) y = area.top();
  if (alignment & Qt::AlignBottom) y = area.bottom() - size.height();
  painter.save();
  painter.setClipRect(area, Qt::IntersectClip);
  painter.drawStaticText(QPointF(x, y), label_);
  painter.restore();
}

void DrawnWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !Forward(UiEventType::kButtonDown, event->position())) {
    QWidget::mousePressEvent(event);
  }
}

void DrawnWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !Forward(UiEventType::kButtonUp, event->position())) {
    QWidget::mouseReleaseEvent(event);
  }
}

void DrawnWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !Forward(UiEventType::kDblClick, event->position())) {
    QWidget::mouseDoubleClickEvent(event);
  }
}

void DrawnWidget::mouseMoveEvent(QMouseEvent* event) {
  if (!Forward(UiEventType::kMouseMove, event->position())) QWidget::mouseMoveEvent(event);
}

void DrawnWidget::enterEvent(QEnterEvent* event) {
  Forward(UiEventType::kMouseEnter, event->position());
  QWidget::enterEvent(event);
}

void DrawnWidget::leaveEvent(QEvent* event) {
  Forward(UiEventType::kMouseLeave, mapFromGlobal(QCursor::pos()));
  QWidget::leaveEvent(event);
}

bool DrawnWidget::Forward(UiEventType type, QPointF at) {
  if (!forwards_input_ || !control_) return false;
  // The control may compare the point with its own or its children's rectangles.
  if (auto* top = dynamic_cast<WindowWidget*>(window())) top->ReportPositionsNow();
  const QPoint in_window = mapTo(window(), at.toPoint());
  TEventUI event(type, {in_window.x(), in_window.y()});
  control_->Event(event);  // may remove the control, and detach this widget
  return true;
}

}  // namespace brontal
