#pragma once

#include <QRubberBand>
#include <QStaticText>
#include <QWidget>

#include "ui/toolkit/event.h"

namespace brontal {

class CControlUI;

// The widget of a control without a native Qt widget: the program's own
// control classes and the plain containers. It paints from the control's
// state: background colour and image, status image, a key button's image
// layers (the light overlay at the opacity of its first drawing parameter),
// a colour palette (faded while disabled), fore image, text, and a frame
// round a selected key; a selection panel shows its rectangle while the user
// drags it. For the program's classes it also hands the raw pointer input to
// the control as toolkit events in window coordinates, so that the control's
// own event handling decides what a press, release or double click means; a
// pressed widget gets the moves until the release, as Qt grabs the pointer.
class DrawnWidget final : public QWidget {
 public:
  DrawnWidget(CControlUI& control, QWidget* parent, bool forwards_input);

  // The control changed.
  void Refresh();
  // The control is gone: nothing is painted from it or sent to it any more.
  void Detach() { control_ = nullptr; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  // False when the widget does not forward input, so that Qt passes the
  // event on to the parent.
  bool Forward(UiEventType type, QPointF at);
  // Key labels repaint with every change of their light: the text keeps its
  // layout from one paint to the next.
  void DrawLabel(QPainter& painter, const QString& text, Qt::Alignment alignment);

  CControlUI* control_;
  const bool forwards_input_;
  QRubberBand* band_ = nullptr;  // made for the first drag of a selection panel
  QStaticText label_;
};

}  // namespace brontal
