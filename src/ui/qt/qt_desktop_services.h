#pragma once

#include <memory>

#include "app/desktop_services.h"

class QSystemTrayIcon;
class QMenu;

namespace brontal {

class QtView;
class WindowImplBase;

// The desktop through Qt: window states on the view's widgets, the browser,
// the desktop's keyboard and mouse settings, file dialogs and the tray icon.
class QtDesktopServices final : public DesktopServices {
 public:
  explicit QtDesktopServices(QtView& view);
  ~QtDesktopServices() override;

  // Shows the tray icon, when the desktop has a tray: its clicks reach
  // `main_window` as the tray messages, its menu shows the window or quits.
  void AttachTray(WindowImplBase& main_window);

  void BringToFront(WindowImplBase& window) override;
  void Minimize(WindowImplBase& window) override;
  void Maximize(WindowImplBase& window) override;
  void Restore(WindowImplBase& window) override;
  bool IsMinimized(const WindowImplBase& window) const override;
  void OpenUrl(const std::string& url) override;
  void OpenSystemSettings(SystemSettings page) override;
  void ShowTrayMenu() override;
  std::filesystem::path ChooseFileToOpen(WindowImplBase& owner, const std::string& filter) override;
  std::filesystem::path ChooseFileToSave(WindowImplBase& owner, const std::string& filter) override;
  bool HasTray() const override;

 private:
  QtView& view_;
  std::unique_ptr<QMenu> menu_;
  std::unique_ptr<QSystemTrayIcon> tray_;
};

}  // namespace brontal
