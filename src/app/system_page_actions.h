#pragma once

#include <string_view>

#include "app/notify_routes.h"
#include "ui/toolkit/notify.h"

namespace brontal {

class CControlUI;
class CCorvaneKeyboardDevice;
class CCorvaneUSBDevice;
class CMainWnd;

// The keyboard's system page and the restore button of the device pages.
// Each control changes one system setting of the selected keyboard's
// profile, which is saved; those the settings record carries (report rate,
// Win lock, W and 6-key modes) are written to the keyboard as well, the key
// repeat values stay in the profile. The four layer options switch the
// keyboard's on-board layer.
class SystemPageActions {
 public:
  explicit SystemPageActions(CMainWnd& window);

  void OnNotify(const RoutedNotify& route, TNotifyUI& msg);
  // The page shows the selected keyboard's system settings and its layer.
  void ShowSelectedDevice();

 private:
  CCorvaneUSBDevice* SelectedDevice() const;
  CCorvaneKeyboardDevice* SelectedKeyboard() const;
  // The page's own control: the mouse pages have report rate options of the
  // same names.
  CControlUI* Part(std::string_view name) const;
  // Option `prefix` + `chosen` selected and the other three not, silently.
  void SelectOnly(std::string_view prefix, int chosen);
  void ShowRepeatDelay(int delay);
  void SwitchLayer(CCorvaneKeyboardDevice& keyboard, int layer);
  // "default_btn", for the selected device of any family, once confirmed.
  void RestoreDefaults();

  CMainWnd& window_;
};

}  // namespace brontal
