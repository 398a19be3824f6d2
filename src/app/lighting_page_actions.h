#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "app/notify_routes.h"
#include "devices/lighting/sync_effect.h"
#include "profiles/profile_records.h"
#include "ui/toolkit/notify.h"

namespace brontal {

class CCorvaneKeyboardDevice;
class CCorvaneUSBDevice;
class CLightControlUI;
class CMainWnd;

// The lighting page's handlers: each reads the new value from the lighting
// panel, edits the selected device's lighting record and hands it back
// through the device's apply sequence (stored, saved, reloaded, written), so
// the panel never talks to a device itself. Game events from other programs
// show a mode for a while and then return to the user's own.
class LightingPageActions {
 public:
  static constexpr unsigned kGameRestoreTimer = 1066;
  static constexpr std::chrono::milliseconds kGameShowTime{5000};

  explicit LightingPageActions(CMainWnd& window);

  void OnNotify(const RoutedNotify& route, TNotifyUI& msg);
  // The panel shows the selected device's live lighting.
  void ShowSelectedDevice();
  // A game event (`kind` 0 remembers the current mode first) naming mode `mode`.
  void OnGameEvent(std::uintptr_t kind, std::intptr_t mode);
  // The game restore timer: the remembered mode comes back.
  void RestoreAfterGame();
  bool game_shown() const { return game_shown_; }
  // "deng_same_mode": every shown device whose synchronisation box is ticked
  // takes its family's mode for the effect that the selected device's mode
  // stands for (or for `effect`), with the selected device's brightness,
  // speed, direction and colours, and joins the synchronised lighting. False,
  // with nothing changed, when there is no selected device with a lighting
  // record or its mode stands for no effect.
  bool ApplySameMode(std::optional<lighting::SyncEffectType> effect = std::nullopt);

 private:
  CLightControlUI* Panel() const;
  CCorvaneUSBDevice* SelectedDevice() const;
  CCorvaneKeyboardDevice* SelectedKeyboard() const;
  // The same-mode button, offered while more than one device is shown.
  void OfferSameMode(CLightControlUI& panel) const;
  // The apply sequence, the polling-paused flag cleared first when asked.
  void Apply(CCorvaneUSBDevice& device, const LightSetting& record, bool resume_polling);
  void OnColour(CCorvaneUSBDevice& device, LightSetting record, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                bool resume_polling);
  void OnColourEdit(CCorvaneUSBDevice& device, std::string_view name);
  void OnLevelSlider(CCorvaneUSBDevice& device, bool brightness);
  void PickColour(CCorvaneUSBDevice& device);
  void OnAudioControl(CCorvaneKeyboardDevice& keyboard, const RoutedNotify& route, TNotifyUI& msg);
  void PaintSelectedKeys(CCorvaneKeyboardDevice& keyboard);

  CMainWnd& window_;
  bool game_shown_ = false;
};

}  // namespace brontal
