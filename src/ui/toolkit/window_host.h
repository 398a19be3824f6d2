#pragma once

namespace brontal {

class CContainerUI;
class CControlUI;
class WindowImplBase;

// What puts windows on screen (the Qt view) learns from the toolkit. Every
// call comes on the UI thread, after the change; the host reads the new state
// from the window or control. Without a host the toolkit runs headless.
class WindowHost {
 public:
  virtual ~WindowHost() = default;

  // Created, shown or hidden (modal or not), moved, resized, retitled, or its fonts changed.
  virtual void WindowChanged(WindowImplBase& window) = 0;
  virtual void WindowDestroyed(WindowImplBase& window) = 0;
  virtual void ControlChanged(CControlUI& control) = 0;
  // Only how the control looks changed (its background colour): a host that
  // paints the control itself may just repaint it.
  virtual void ControlRepainted(CControlUI& control) { ControlChanged(control); }
  // Children added or removed (removed ones were reported destroyed first).
  virtual void ChildrenChanged(CContainerUI& container) = 0;
  virtual void ControlDestroyed(CControlUI& control) = 0;
};

}  // namespace brontal
