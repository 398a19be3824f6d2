#pragma once

#include <string_view>

#include "app/notify_routes.h"
#include "ui/toolkit/notify.h"

namespace brontal {

class CControlUI;
class CDeviceProfileUI;
class CMainWnd;
class DesktopServices;

// The profile buttons of a device page and the main window's reset: each
// asks the user first where a profile would be made, lost or overwritten,
// then runs the operation on the device's profile selector.
class ProfileActions {
 public:
  // Both outlive the object.
  ProfileActions(CMainWnd& window, DesktopServices& desktop);

  void OnClick(const RoutedNotify& route, TNotifyUI& msg);
  // The profile picked in "device_profile_combo" becomes the selected one.
  void ApplyPickedProfile();

 private:
  // The selector holding `sender`, else the one of the selected device.
  CDeviceProfileUI* PanelFor(CControlUI* sender) const;
  bool Ask(std::string_view text_id);
  void Select(CDeviceProfileUI& panel, int index);
  // Every device of the panel takes its selected profile.
  void Apply(CDeviceProfileUI& panel);
  void Import(CDeviceProfileUI& panel);
  void Export(CDeviceProfileUI& panel);
  void Reset(CDeviceProfileUI& panel);

  CMainWnd& window_;
  DesktopServices& desktop_;
};

}  // namespace brontal
