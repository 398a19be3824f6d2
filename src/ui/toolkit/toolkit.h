#pragma once

#include <vector>

#include "ui/toolkit/control_factory.h"
#include "ui/toolkit/font_table.h"
#include "ui/toolkit/geometry.h"
#include "ui/toolkit/resource_manager.h"

namespace brontal {

class MessageLoop;
class WindowHost;
class WindowImplBase;

// What the windows of one program share: the UI thread's message loop, the
// skin and language resources, the control factory, the shared fonts, the
// host that shows the windows, and the list of open windows.
class Toolkit {
 public:
  explicit Toolkit(MessageLoop& loop) : loop_(loop) {}
  Toolkit(const Toolkit&) = delete;
  Toolkit& operator=(const Toolkit&) = delete;

  MessageLoop& Loop() const { return loop_; }
  CResourceManager& Resources() { return resources_; }
  CControlFactory& Factory() { return factory_; }
  FontTable& SharedFonts() { return shared_fonts_; }

  WindowHost* Host() const { return host_; }
  void SetHost(WindowHost* host) { host_ = host; }

  // The screen that windows are centred on; empty while unknown.
  const Rect& ScreenRect() const { return screen_; }
  void SetScreenRect(const Rect& screen) { screen_ = screen; }

  // Created and not yet destroyed, oldest first.
  const std::vector<WindowImplBase*>& Windows() const { return windows_; }

  // After a language change: every resource-text control of every window
  // reports itself changed, so that the view shows the new translation.
  void ReloadText();

 private:
  friend class WindowImplBase;
  void AddWindow(WindowImplBase& window);
  void RemoveWindow(WindowImplBase& window);

  MessageLoop& loop_;
  CResourceManager resources_;
  CControlFactory factory_;
  FontTable shared_fonts_;
  WindowHost* host_ = nullptr;
  Rect screen_;
  std::vector<WindowImplBase*> windows_;
};

}  // namespace brontal
