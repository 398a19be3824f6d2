#include "ui/qt/control_binding.h"

#include "ui/qt/control_style.h"
#include "ui/qt/skin_layout.h"
#include "ui/toolkit/container.h"

namespace brontal {
namespace {

SkinLayout* LayoutAround(const QWidget& widget) {
  QWidget* parent = widget.parentWidget();
  return parent ? dynamic_cast<SkinLayout*>(parent->layout()) : nullptr;
}

}  // namespace

ControlBinding::ControlBinding(CControlUI& control, QWidget* widget) : control_(control), widget_(widget) {}

ControlBinding::~ControlBinding() {
  if (!widget_) return;
  if (SkinLayout* layout = LayoutAround(*widget_)) layout->Remove(widget_);
  widget_->hide();
  widget_->deleteLater();
}

void ControlBinding::Sync() {
  if (!widget_) return;
  const QString name = QString::fromStdString(control_.GetName());
  if (widget_->objectName() != name) widget_->setObjectName(name);
  widget_->setToolTip(QString::fromStdString(control_.GetToolTip()));
  widget_->setEnabled(control_.IsEnabled());
  SyncFont();
  if (const QString sheet = StyleSheet(); sheet != widget_->styleSheet()) widget_->setStyleSheet(sheet);
  if (SkinLayout* layout = LayoutAround(*widget_)) layout->SetPlacement(widget_, SkinLayout::Placement::Of(control_));
  SyncKind();
  SyncVisibility();
}

void ControlBinding::SyncVisibility() {
  if (!widget_) return;
  const CContainerUI* parent = control_.GetParent();
  widget_->setVisible(control_.IsVisible() && (!parent || parent->ShowsChild(control_)));
}

void ControlBinding::SyncFont() {
  if (!widget_) return;
  if (const auto font = ControlFont(control_)) widget_->setFont(*font);
}

QString ControlBinding::StyleSheet() const { return ControlStyleSheet(control_); }

}  // namespace brontal
