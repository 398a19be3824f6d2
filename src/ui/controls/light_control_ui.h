#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "profiles/light_names.h"
#include "profiles/profile_records.h"
#include "ui/controls/named_parts.h"
#include "ui/toolkit/container.h"
#include "ui/toolkit/paint_manager.h"

namespace brontal {

struct LightModeLayout;

// Why an audio accessor of the lighting panel could not show or read the
// audio lighting record: one of the audio controls is not in the skin.
struct AudioControlError {
  std::string text;
};

// The lighting page of a device: shows one lighting record and the audio
// lighting record, and enables, disables, shows and hides its groups to suit
// the selected mode and the device kind (LightModeLayoutFor). The main window
// fills it and reads it back; it sends nothing to the device, and every
// change made here is silent.
//
// Its controls are found by name below the panel when first used. Without a
// control its accessors do nothing: readers give an empty text, 0, false, or
// -1 for a list position. Only the audio record accessors report a missing
// control, since a record half shown or half read would be wrong.
class CLightControlUI : public CHorizontalLayoutUI {
 public:
  static constexpr std::string_view kClassName = "LightControl";

  enum class Channel { kRed, kGreen, kBlue };

  std::string_view GetClass() const override { return kClassName; }

  // The mode list's items (height 30, tool tip the name, hidden when the mode
  // is not offered), and the two sliders' maximum values.
  void SetModeList(std::span<const LightMode> modes, int brightness_max, int speed_max);
  // Every control of the record, then the mode layout of its mode. The
  // sliders take the record's levels as they are.
  void SetLightRecord(const LightSetting& record);

  // Selects the mode and applies its layout.
  void SelectMode(int index);
  int GetMode();
  // The layout of the mode for the device kind; every call hides "deng_same_mode".
  void ApplyModeLayout(int mode);
  void SelectCustomMode(int index);
  int GetCustomMode();
  void SelectSpecialMode(int index);
  int GetSpecialMode();

  void SetBrightness(int value);
  int GetBrightness();
  void SetSpeed(int value);
  int GetSpeed();

  // The decimal text of a colour component's edit.
  void SetColourText(Channel channel, std::string text);
  std::string GetColourText(Channel channel);
  // 0xAARRGGBB; the palette keeps its colours opaque.
  void SetPaletteColour(std::uint32_t argb);
  std::uint32_t GetPaletteColour();
  // "deng_colordp_btn", which shows the current colour.
  void SetColourSwatch(std::uint32_t argb);
  // The background colour of "color_option_" + number.
  std::uint32_t GetSwatchColour(int number);
  void SetSevenColour(bool on);
  bool IsSevenColour();
  // "deng_FXL_check" selected for a non-zero value, "deng_FXR_check" for 0.
  void SetDirection(int value);
  int GetDirection();

  // The audio page's own colour controls, for their handlers.
  std::string GetAudioColourText(Channel channel);
  std::uint32_t GetAudioPaletteColour();
  std::uint32_t GetAudioSwatchColour(int number);

  // 1..7, as the supported-device table gives it. The panel shows one device
  // after another, and the other kinds' tables leave alone what only the
  // keyboard's govern: a new kind starts from the resting layout.
  void SetDeviceKind(int kind);
  // Whether the same-mode option may be offered; re-applies the layout of
  // the selected mode, which hides the option until ShowSameMode.
  void SetSameModeAllowed(bool allowed);
  // Shows the option only while it is allowed.
  void ShowSameMode(bool show);

  // Keeps the record and shows it: its audio mode, and the foreground colour
  // (colour type 1) or the background colour as the colour being edited.
  // Shows nothing when an audio control is missing.
  std::optional<AudioControlError> SetAudioRecord(const AudioLightSetting& record);
  // The kept record with the audio mode, the seven-colour option and the
  // colour type the controls now show; with `take_colour` the audio swatch's
  // colour becomes the colour of that type.
  std::variant<AudioLightSetting, AudioControlError> GetAudioRecord(bool take_colour);
  const AudioLightSetting& AudioRecord() const { return audio_record_; }

 private:
  CControlUI* Part(std::string_view name) { return parts_.Get(name); }
  template <typename T>
  T* Part(std::string_view name) {
    return dynamic_cast<T*>(Part(name));
  }
  void ShowLayout(const LightModeLayout& layout);
  void Show(std::string_view name, bool shown);
  void Enable(std::string_view name, bool enabled);
  void SelectListItem(std::string_view name, int index);
  int ListSelection(std::string_view name);

  int device_kind_ = 0;
  bool same_mode_allowed_ = false;
  AudioLightSetting audio_record_;
  // Only below the panel: a control of the same name elsewhere in the window
  // is not this page's.
  NamedParts parts_{[this](std::string_view name) { return CPaintManagerUI::FindSubControlByName(this, name); }};
};

}  // namespace brontal
