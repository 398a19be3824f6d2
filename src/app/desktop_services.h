#pragma once

#include <filesystem>
#include <string>

namespace brontal {

class WindowImplBase;

// What the main window asks of the desktop: window states, the browser, the
// system's own settings pages, file choosers and the tray menu. The Qt view
// provides them.
class DesktopServices {
 public:
  enum class SystemSettings { kKeyboard, kMouse };

  virtual ~DesktopServices() = default;
  virtual void BringToFront(WindowImplBase& window) = 0;
  virtual void Minimize(WindowImplBase& window) = 0;
  virtual void Maximize(WindowImplBase& window) = 0;
  virtual void Restore(WindowImplBase& window) = 0;
  virtual bool IsMinimized(const WindowImplBase& window) const = 0;
  virtual void OpenUrl(const std::string& url) = 0;
  virtual void OpenSystemSettings(SystemSettings page) = 0;
  virtual void ShowTrayMenu() = 0;
  // A file the user picks, modal on `owner`; `filter` as "Profile Files(*.json)".
  // A file to save gets the filter's extension when the user typed none, and
  // the user confirms replacing a file that exists. Empty when cancelled.
  virtual std::filesystem::path ChooseFileToOpen(WindowImplBase& owner, const std::string& filter) = 0;
  virtual std::filesystem::path ChooseFileToSave(WindowImplBase& owner, const std::string& filter) = 0;
  // Without a tray the window cannot come back once hidden: closing it quits.
  virtual bool HasTray() const = 0;
};

}  // namespace brontal
