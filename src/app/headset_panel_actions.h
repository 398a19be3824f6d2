#pragma once

#include <string_view>

#include "app/notify_routes.h"
#include "ui/toolkit/notify.h"

namespace brontal {

class CControlUI;
class CCorvaneZU6533Device;
class CMainWnd;
struct HeadsetSoundState;

// The headset's sound, voice changer and surround pages: each control hands
// its value to the selected headset, which changes the sound card and keeps
// the settings in its profile; the pages then show the headset again.
// Controls of what the card does not offer stay disabled, still showing the
// profile's values.
class HeadsetPanelActions {
 public:
  explicit HeadsetPanelActions(CMainWnd& window);

  void OnNotify(const RoutedNotify& route, TNotifyUI& msg);
  // The pages show the selected headset's settings (nothing for another device).
  void ShowSelectedDevice();

 private:
  CCorvaneZU6533Device* SelectedHeadset() const;
  CControlUI* Part(std::string_view name) const;
  CControlUI* Part(std::string_view prefix, int index) const;
  // Option `prefix` + `chosen` selected and the others of 1..`count` not, silently.
  void SelectOnly(std::string_view prefix, int count, int chosen);

  void ShowEqualiser(CCorvaneZU6533Device& headset);
  void ShowMicrophone(const HeadsetSoundState& sound);
  void ShowVoiceChanger(const HeadsetSoundState& sound);

  // "hs_EQ_btn_save": the bands as a curve, under the typed name or over the
  // chosen curve.
  void SaveCurve(CCorvaneZU6533Device& headset);

  CMainWnd& window_;
};

}  // namespace brontal
