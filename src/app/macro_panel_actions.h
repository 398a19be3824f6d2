#pragma once

#include <string>
#include <string_view>

#include "app/notify_routes.h"
#include "input_capture/input_capture.h"
#include "macros/macro_editor.h"
#include "ui/toolkit/notify.h"

namespace brontal {

class CCorvaneUSBDevice;
class CKeySetControlUI;
class CMacroControlUI;
class CMainWnd;
class DesktopServices;

// The macro page's commands on the selected device's macros: each asks the
// user where a macro would be made or lost, runs the operation on the macro
// panel, and passes a change of the macro list on to the key assignment
// panel and to the key assignments that name macros by their place.
//
// Recordings take their input from the window's capture: X11 or the event
// nodes where the session allows, else only what reaches our own window (the
// panel says which). The device cannot change while one runs.
class MacroPanelActions {
 public:
  MacroPanelActions(CMainWnd& window, DesktopServices& desktop);
  ~MacroPanelActions();
  MacroPanelActions(const MacroPanelActions&) = delete;
  MacroPanelActions& operator=(const MacroPanelActions&) = delete;

  void OnNotify(const RoutedNotify& route, TNotifyUI& msg);
  // The panel shows the selected device's macros: a keyboard's or a mouse's.
  void ShowSelectedDevice();
  // The selected device goes away: a recording ends, saved, and its macros leave the panel.
  void OnSelectedDeviceLeaving();
  // The macros as their files hold them now, after another program's change;
  // not while the panel records.
  void ReloadMacros();
  // A recording that runs ends, saved, and the device may change again.
  void StopRecording();

 private:
  CMacroControlUI* Panel() const;
  CKeySetControlUI* KeyPanel() const;
  CCorvaneUSBDevice* SelectedDevice() const;
  bool Ask(std::string_view text_id);
  void Tell(const std::string& text, bool is_identifier);

  void OnClick(CMacroControlUI& panel, const std::string& name);
  void Add(CMacroControlUI& panel);
  void Rename(CMacroControlUI& panel);
  void Delete(CMacroControlUI& panel);
  // The key assignments of every profile of the folder follow the removal of macro `removed`.
  void MendKeyAssignments(CMacroControlUI& panel, std::size_t removed);
  void Import(CMacroControlUI& panel);
  void Export(CMacroControlUI& panel);
  void StartRecording(CMacroControlUI& panel, std::string_view command);
  // The device strip, the page tabs and the device's profile selector.
  void LockDeviceChoice(bool locked);
  void TellIfNotSaved(MacroEdit edit);

  CMainWnd& window_;
  DesktopServices& desktop_;
  InputCapture* capture_ = nullptr;  // the window's, while a recording runs
};

}  // namespace brontal
