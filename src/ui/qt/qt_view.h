#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "ui/toolkit/window_host.h"

class QObject;
class QWidget;

namespace brontal {

class ControlBinding;
class Toolkit;
class WindowWidget;

// Shows the toolkit's windows with Qt Widgets: a shown window gets a
// top-level widget and every control in it a widget of its kind, kept in step
// with the control's state; user input on the widgets reaches the controls as
// the toolkit's user actions, so the windows get the same notifications as
// when a test drives the controls directly. The laid-out rectangles go back
// to the controls (CControlUI::GetPos).
//
// The paint manager's display scale is not applied: Qt already scales every
// widget for the screen it is on.
//
// A program's start-up:
//   QApplication app(argc, argv);
//   QtMessageLoop loop;
//   Toolkit toolkit(loop);
//   ... skin folder, language, control classes ...
//   QtView view(toolkit);
//   view.ApplySkinStyleSheet(error);
//   main_window.Create(...); main_window.ShowWindow();
//   loop.Run();
class QtView final : public WindowHost {
 public:
  // Becomes the toolkit's window host, and shows the windows that are already
  // visible. Needs a QApplication made before it.
  explicit QtView(Toolkit& toolkit);
  ~QtView() override;
  QtView(const QtView&) = delete;
  QtView& operator=(const QtView&) = delete;

  // The skin folder's style sheet (see skin_style_sheet.h) for the whole
  // application; false, with the reason, when it exists but cannot be read.
  bool ApplySkinStyleSheet(std::string& error) const;

  // nullptr until the window has been shown, and once it is destroyed.
  QWidget* WidgetOf(const WindowImplBase& window) const;
  QWidget* WidgetOf(const CControlUI& control) const;

  void WindowChanged(WindowImplBase& window) override;
  void WindowDestroyed(WindowImplBase& window) override;
  void ControlChanged(CControlUI& control) override;
  void ControlRepainted(CControlUI& control) override;
  void ChildrenChanged(CContainerUI& container) override;
  void ControlDestroyed(CControlUI& control) override;

 private:
  WindowWidget& Show(WindowImplBase& window);
  ControlBinding& Bind(CControlUI& control, QWidget& parent);
  void BindChildren(ControlBinding& binding);
  ControlBinding* BindingOf(const CControlUI& control) const;
  void Unbind(CControlUI& root);
  void ReportPositions(WindowImplBase& window);
  void FocusMoved(QWidget* now);

  Toolkit& toolkit_;
  std::unordered_map<const WindowImplBase*, WindowWidget*> windows_;
  std::unordered_map<const CControlUI*, std::unique_ptr<ControlBinding>> bindings_;
  std::unordered_map<const QWidget*, ControlBinding*> by_widget_;
  bool reporting_positions_ = false;
  std::unique_ptr<QObject> focus_watch_;  // disconnects the focus tracking with the view
};

}  // namespace brontal
