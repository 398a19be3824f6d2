#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "app/notify_routes.h"
#include "profiles/profile_records.h"
#include "ui/toolkit/notify.h"

namespace brontal {

class CControlUI;
class CCorvaneMouseDevice;
class CMainWnd;

// The mouse's pages: each control changes one member of the selected
// mouse's profile, which is saved; the DPI stages and the report rate are
// written to the mouse as well (the whole settings record), while the pointer,
// wheel and double-click values stay in the profile. The surface the sensor
// is tuned for goes to the mouse too.
class MousePageActions {
 public:
  explicit MousePageActions(CMainWnd& window);

  void OnNotify(const RoutedNotify& route, TNotifyUI& msg);
  // The pages show the selected mouse's values, the DPI ranges its sensor gives.
  void ShowSelectedDevice();

 private:
  CCorvaneMouseDevice* SelectedMouse() const;
  // The mouse pages' own control: the keyboard's system page has report
  // rate options of the same names.
  CControlUI* Part(std::string_view name) const;
  CControlUI* Part(std::string_view prefix, int index) const;
  // Option `prefix` + `chosen` selected and the others of `count` not, silently.
  void SelectOnly(std::string_view prefix, int count, int chosen);

  // The slider, the DPI shown in the edit, and the marks of the active stage.
  void ShowStage(const CCorvaneMouseDevice& mouse, int stage, int stage_value, int active);
  // A stage switched on or off: its layout follows, and the last stage still
  // on cannot be switched off.
  void ShowStageEnabled(int stage, bool enabled);
  // The stage list with stage `stage` in it (new stages zero).
  static std::vector<DpiStage> StagesWith(CCorvaneMouseDevice& mouse, int stage);
  // Profile saved, then (for the record's members) the whole record written.
  static void SaveAndWrite(CCorvaneMouseDevice& mouse, bool write);

  void OnDpiControl(CCorvaneMouseDevice& mouse, const RoutedNotify& route, TNotifyUI& msg);
  void PickStageColour(CCorvaneMouseDevice& mouse, int stage);
  void OnPointerControl(CCorvaneMouseDevice& mouse, const RoutedNotify& route, TNotifyUI& msg);

  CMainWnd& window_;
};

}  // namespace brontal
