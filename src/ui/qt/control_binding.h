#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

#include "ui/toolkit/control.h"

namespace brontal {

// A child control as its container's binding sees it: `widget` is null for a
// child the container draws itself (the rows of a combo box or list).
struct ChildWidget {
  CControlUI* control;
  QWidget* widget;
};

// Ties one control to the widget that shows it: Sync copies the control's
// state into the widget, and the kinds turn the widget's user input into the
// control's user actions. The binding lives exactly as long as the control;
// when it goes, the widget leaves its layout and is deleted later, since the
// control may go from inside one of the widget's own signals.
class ControlBinding : public QObject {
 public:
  ControlBinding(CControlUI& control, QWidget* widget);
  ~ControlBinding() override;
  ControlBinding(const ControlBinding&) = delete;
  ControlBinding& operator=(const ControlBinding&) = delete;

  CControlUI& Control() const { return control_; }
  QWidget* Widget() const { return widget_; }

  void Sync();
  // Only the control's looks changed.
  virtual void Repaint() { Sync(); }
  // Visibility alone: the parent may have switched the page the control is on.
  void SyncVisibility();
  void SyncFont();

  // Whether the children get widgets of their own inside this one.
  virtual bool BindsChildren() const { return false; }
  // The children, in order, after any were added or removed.
  virtual void ChildrenChanged(const std::vector<ChildWidget>&) {}
  // A child without a widget of its own changed.
  virtual void ChildChanged(const CControlUI&) {}

 protected:
  virtual void SyncKind() = 0;
  // The widget's own style sheet; the custom-drawn widget paints instead.
  virtual QString StyleSheet() const;

  // Runs the user's action on the control and shows the outcome, which may
  // differ from what the widget did (a refused pick). A handler may remove
  // the control, and this binding with it.
  template <typename Action>
  void UserInput(Action&& action);

 private:
  CControlUI& control_;
  QPointer<QWidget> widget_;
};

template <typename Action>
void ControlBinding::UserInput(Action&& action) {
  const std::weak_ptr<const void> alive = control_.LifeToken();
  action();
  if (!alive.expired()) Sync();
}

}  // namespace brontal
