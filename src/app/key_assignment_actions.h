#pragma once

#include "app/notify_routes.h"
#include "ui/controls/key_set_control_ui.h"
#include "ui/toolkit/notify.h"

namespace brontal {

class CCorvaneKeyboardDevice;
class CCorvaneMouseDevice;
class CCorvaneUSBDevice;
class CMainWnd;
class InputCapture;
struct CapturedInput;

// The key assignment panel's handlers on the keys page: a key picked on the
// device picture (a mouse's button, in the panel's button list) is shown in
// the panel, every choice in the panel is built into the key's action and
// kept in the selected device's profile (a keyboard's normal or Fn layer, as
// "key_set_FN_tier" says; a mouse has the normal one only), and the device
// gets the key table, with the macros it plays, only when the user sends it
// (or the automatic send does). The key field captures keys while it has the
// focus.
class KeyAssignmentActions {
 public:
  explicit KeyAssignmentActions(CMainWnd& window);
  ~KeyAssignmentActions();
  KeyAssignmentActions(const KeyAssignmentActions&) = delete;
  KeyAssignmentActions& operator=(const KeyAssignmentActions&) = delete;

  void OnNotify(const RoutedNotify& route, TNotifyUI& msg);
  // The panel set up for the selected device: its macros, the kinds it has,
  // and its selected key.
  void ShowSelectedDevice();
  // The key table of the shown profile (or the keyboard's Fn table) with the
  // macros it plays, to the selected keyboard or mouse.
  void SaveToDevice();
  // Every keyboard page labels its keys again: the language or a macro's name changed.
  void RefreshKeyLabels();
  // Ends a key capture that runs, as when the key field loses the focus.
  void StopKeyCapture();

 private:
  CKeySetControlUI* Panel() const;
  CCorvaneKeyboardDevice* SelectedKeyboard() const;
  CCorvaneMouseDevice* SelectedMouse() const;
  CKeySetControlUI::Layer ShownLayer() const;
  void OnPictureKey(int key);
  void ShowSelectedKey(CKeySetControlUI& panel, CCorvaneKeyboardDevice& keyboard);
  void ShowSelectedButton(CKeySetControlUI& panel, CCorvaneMouseDevice& mouse);
  // The panel's action kept in the profile at the selected key; nothing is sent.
  void Apply();
  void ApplyToButton(CKeySetControlUI& panel, CCorvaneMouseDevice& mouse);
  void RestoreDefault();
  void StartKeyCapture();
  void OnCaptured(const CapturedInput& input);

  CMainWnd& window_;
  const CCorvaneUSBDevice* shown_ = nullptr;  // compared only: the device the panel was set up for
  InputCapture* capture_ = nullptr;           // while the key field captures
};

}  // namespace brontal
