#include "ui/controls/light_control_ui.h"

#include <array>
#include <utility>

#include "ui/controls/color_palette_ui.h"
#include "ui/controls/light_mode_layout.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/slider.h"
#include "ui/toolkit/tab_layout.h"

namespace brontal {
namespace {

constexpr std::string_view kModeList = "light_combo_modeSelect";
constexpr std::string_view kCustomList = "light_combo_custommodeSelect";
constexpr std::string_view kSpecialList = "light_combo_ZZCCmodeSelect";
constexpr std::string_view kAudioModeList = "light_combo_audiomodeSelect";
constexpr std::string_view kBrightnessSlider = "deng_light_slider";
constexpr std::string_view kSpeedSlider = "deng_speed_slider";
constexpr std::array<std::string_view, 3> kColourEdits = {"deng_edit_R", "deng_edit_G", "deng_edit_B"};
constexpr std::string_view kPalette = "deng_Color_Pallet";
constexpr std::string_view kColourSwatch = "deng_colordp_btn";
constexpr std::string_view kSwatchPrefix = "color_option_";
constexpr std::string_view kSevenColour = "deng_7color_check";
constexpr std::string_view kLeftDirection = "deng_FXL_check";
constexpr std::string_view kRightDirection = "deng_FXR_check";
constexpr std::string_view kSameMode = "deng_same_mode";

constexpr std::string_view kEffectGroup = "lighteffect_layout";
constexpr std::string_view kColourGroup = "deng_color_layout";
constexpr std::string_view kPaletteGroup = "colorpallet_layout";
constexpr std::string_view kBrightnessGroup = "deng_light_layout";
constexpr std::string_view kSpeedGroup = "deng_speed_layout";
constexpr std::string_view kDirectionGroup = "deng_fx_layout";
constexpr std::string_view kCustomGroup = "lightcustom_layout";
constexpr std::string_view kSpecialListGroup = "light_combo_ZZCCmodeSelectLayout";
constexpr std::string_view kColourArea = "light_color_layout";
constexpr std::string_view kAudioListGroup = "light_combo_AudiomodeSelectLayout";
constexpr std::string_view kColourPages = "light_color_tablayout";
constexpr int kColourPage = 0;
constexpr int kAudioPage = 1;

constexpr std::array<std::string_view, 3> kAudioColourEdits = {"deng_audioedit_R", "deng_audioedit_G",
                                                               "deng_audioedit_B"};
constexpr std::string_view kAudioPalette = "deng_audioColor_Pallet";
constexpr std::string_view kAudioColourSwatch = "deng_audiocolordp_btn";
constexpr std::string_view kAudioSwatchPrefix = "audiocolor_option_";
constexpr std::string_view kAudioSevenColour = "deng_7audiocolor_check";
constexpr std::string_view kBackgroundCheck = "audio_BkColor_check";
constexpr std::string_view kForegroundCheck = "audio_FgColor_check";
constexpr std::string_view kAudioColourGroup = "light_audiocolor_layout";
constexpr std::string_view kAudioPaletteGroup = "audiocolorpallet_layout";
// The audio mode whose colours the device chooses itself.
constexpr int kAudioModeOwnColours = 3;
constexpr std::uint8_t kForegroundColourType = 1;

constexpr int kModeItemHeight = 30;

constexpr const char* kSetAudioError = " SetAudioLightInfo control is NULL";
constexpr const char* kGetAudioError = "GetAudioLightInfo control is NULL";

struct Rgb {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
};

std::uint32_t OpaqueColour(Rgb rgb) {
  return 0xFF000000u | std::uint32_t{rgb.red} << 16 | std::uint32_t{rgb.green} << 8 | rgb.blue;
}

Rgb RgbOf(std::uint32_t argb) {
  return {static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 8), static_cast<std::uint8_t>(argb)};
}

std::string_view EditOf(const std::array<std::string_view, 3>& edits, CLightControlUI::Channel channel) {
  return edits[static_cast<std::size_t>(channel)];
}

std::string SwatchName(std::string_view prefix, int number) { return std::string(prefix) + std::to_string(number); }

}  // namespace

void CLightControlUI::Show(std::string_view name, bool shown) {
  if (CControlUI* control = Part(name)) control->SetVisible(shown);
}

void CLightControlUI::Enable(std::string_view name, bool enabled) {
  if (CControlUI* control = Part(name)) control->SetEnabled(enabled);
}

void CLightControlUI::SelectListItem(std::string_view name, int index) {
  if (auto* list = Part<CComboUI>(name)) list->SelectItem(index, false);
}

int CLightControlUI::ListSelection(std::string_view name) {
  const auto* list = Part<CComboUI>(name);
  return list ? list->GetCurSel() : -1;
}

void CLightControlUI::SetModeList(std::span<const LightMode> modes, int brightness_max, int speed_max) {
  if (auto* list = Part<CComboUI>(kModeList)) {
    list->RemoveAll();
    for (const LightMode& mode : modes) {
      CControlUI* item = list->AddTextItem(mode.name);
      item->SetToolTip(mode.name);
      item->SetFixedHeight(kModeItemHeight);
      item->SetVisible(mode.visible);
    }
  }
  if (auto* slider = Part<CSliderUI>(kBrightnessSlider)) slider->SetMaxValue(brightness_max);
  if (auto* slider = Part<CSliderUI>(kSpeedSlider)) slider->SetMaxValue(speed_max);
}

void CLightControlUI::SetLightRecord(const LightSetting& record) {
  SelectListItem(kModeList, record.select_item);
  SetBrightness(record.light);
  SetSpeed(record.speed);
  SetColourText(Channel::kRed, std::to_string(record.red));
  SetColourText(Channel::kGreen, std::to_string(record.green));
  SetColourText(Channel::kBlue, std::to_string(record.blue));
  const std::uint32_t colour = OpaqueColour({record.red, record.green, record.blue});
  SetPaletteColour(colour);
  SetColourSwatch(colour);
  SetSevenColour(record.multi_color != 0);
  SelectSpecialMode(record.zzcc_led_mode);
  SetDirection(record.fx);
  ApplyModeLayout(record.select_item);
}

void CLightControlUI::SelectMode(int index) {
  SelectListItem(kModeList, index);
  ApplyModeLayout(index);
}

int CLightControlUI::GetMode() { return ListSelection(kModeList); }

void CLightControlUI::ApplyModeLayout(int mode) {
  Show(kSameMode, false);
  Enable(kEffectGroup, true);
  if (const std::optional<LightModeLayout> layout = LightModeLayoutFor(device_kind_, mode)) ShowLayout(*layout);
}

void CLightControlUI::ShowLayout(const LightModeLayout& layout) {
  Enable(kSevenColour, layout.seven_colour);
  Enable(kColourGroup, layout.colour);
  Enable(kPaletteGroup, layout.palette);
  Enable(kBrightnessGroup, layout.brightness);
  Enable(kSpeedGroup, layout.speed);
  if (layout.direction) Enable(kDirectionGroup, *layout.direction);
  if (layout.speed_shown) Show(kSpeedGroup, *layout.speed_shown);
  if (layout.special_list_shown) Show(kSpecialListGroup, *layout.special_list_shown);
  if (layout.colour_area_enabled) Enable(kColourArea, *layout.colour_area_enabled);
  if (layout.custom_shown) Show(kCustomGroup, *layout.custom_shown);
  if (layout.audio_shown) {
    Show(kAudioListGroup, *layout.audio_shown);
    if (auto* pages = Part<CTabLayoutUI>(kColourPages))
      pages->SelectItem(*layout.audio_shown ? kAudioPage : kColourPage);
  }
  if (layout.texts) {
    const std::pair<std::string_view, std::string_view> texts[] = {{kLeftDirection, layout.texts->left},
                                                                   {kRightDirection, layout.texts->right}};
    for (const auto& [name, text] : texts) {
      if (auto* option = Part<CLabelUI>(name)) {
        option->SetResourceText(true);
        option->SetText(std::string(text));
      }
    }
  }
}

void CLightControlUI::SetDeviceKind(int kind) {
  if (kind == device_kind_) return;
  device_kind_ = kind;
  Show(kSameMode, false);
  ShowLayout(RestingLightModeLayout());
}

void CLightControlUI::SelectCustomMode(int index) { SelectListItem(kCustomList, index); }

int CLightControlUI::GetCustomMode() { return ListSelection(kCustomList); }

void CLightControlUI::SelectSpecialMode(int index) { SelectListItem(kSpecialList, index); }

int CLightControlUI::GetSpecialMode() { return ListSelection(kSpecialList); }

void CLightControlUI::SetBrightness(int value) {
  if (auto* slider = Part<CSliderUI>(kBrightnessSlider)) slider->SetValue(value);
}

int CLightControlUI::GetBrightness() {
  const auto* slider = Part<CSliderUI>(kBrightnessSlider);
  return slider ? slider->GetValue() : 0;
}

void CLightControlUI::SetSpeed(int value) {
  if (auto* slider = Part<CSliderUI>(kSpeedSlider)) slider->SetValue(value);
}

int CLightControlUI::GetSpeed() {
  const auto* slider = Part<CSliderUI>(kSpeedSlider);
  return slider ? slider->GetValue() : 0;
}

void CLightControlUI::SetColourText(Channel channel, std::string text) {
  if (auto* edit = Part<CEditUI>(EditOf(kColourEdits, channel))) edit->SetText(std::move(text));
}

std::string CLightControlUI::GetColourText(Channel channel) {
  const auto* edit = Part<CEditUI>(EditOf(kColourEdits, channel));
  return edit ? edit->GetText() : std::string();
}

void CLightControlUI::SetPaletteColour(std::uint32_t argb) {
  if (auto* palette = Part<CColorPaletteUI>(kPalette)) palette->SetSelectedColour(argb);
}

std::uint32_t CLightControlUI::GetPaletteColour() {
  const auto* palette = Part<CColorPaletteUI>(kPalette);
  return palette ? palette->GetSelectedColour() : 0;
}

void CLightControlUI::SetColourSwatch(std::uint32_t argb) {
  if (CControlUI* swatch = Part(kColourSwatch)) swatch->SetBkColor(argb);
}

std::uint32_t CLightControlUI::GetSwatchColour(int number) {
  const CControlUI* swatch = Part(SwatchName(kSwatchPrefix, number));
  return swatch ? swatch->GetBkColor() : 0;
}

void CLightControlUI::SetSevenColour(bool on) {
  if (auto* option = Part<COptionUI>(kSevenColour)) option->Selected(on, false);
}

bool CLightControlUI::IsSevenColour() {
  const auto* option = Part<COptionUI>(kSevenColour);
  return option && option->IsSelected();
}

void CLightControlUI::SetDirection(int value) {
  // Both, so that a skin without the options' group still shows one choice.
  if (auto* left = Part<COptionUI>(kLeftDirection)) left->Selected(value != 0, false);
  if (auto* right = Part<COptionUI>(kRightDirection)) right->Selected(value == 0, false);
}

int CLightControlUI::GetDirection() {
  const auto* left = Part<COptionUI>(kLeftDirection);
  return left && left->IsSelected() ? 1 : 0;
}

std::string CLightControlUI::GetAudioColourText(Channel channel) {
  const auto* edit = Part<CEditUI>(EditOf(kAudioColourEdits, channel));
  return edit ? edit->GetText() : std::string();
}

std::uint32_t CLightControlUI::GetAudioPaletteColour() {
  const auto* palette = Part<CColorPaletteUI>(kAudioPalette);
  return palette ? palette->GetSelectedColour() : 0;
}

std::uint32_t CLightControlUI::GetAudioSwatchColour(int number) {
  const CControlUI* swatch = Part(SwatchName(kAudioSwatchPrefix, number));
  return swatch ? swatch->GetBkColor() : 0;
}

void CLightControlUI::SetSameModeAllowed(bool allowed) {
  same_mode_allowed_ = allowed;
  ApplyModeLayout(GetMode());
}

void CLightControlUI::ShowSameMode(bool show) { Show(kSameMode, show && same_mode_allowed_); }

std::optional<AudioControlError> CLightControlUI::SetAudioRecord(const AudioLightSetting& record) {
  auto* modes = Part<CComboUI>(kAudioModeList);
  auto* foreground = Part<COptionUI>(kForegroundCheck);
  auto* background = Part<COptionUI>(kBackgroundCheck);
  auto* seven_colour = Part<COptionUI>(kAudioSevenColour);
  std::array<CEditUI*, 3> edits{};
  for (std::size_t i = 0; i < edits.size(); ++i) edits[i] = Part<CEditUI>(kAudioColourEdits[i]);
  auto* palette = Part<CColorPaletteUI>(kAudioPalette);
  CControlUI* swatch = Part(kAudioColourSwatch);
  CControlUI* colour_group = Part(kAudioColourGroup);
  CControlUI* palette_group = Part(kAudioPaletteGroup);
  if (!modes || !foreground || !background || !seven_colour || !edits[0] || !edits[1] || !edits[2] || !palette ||
      !swatch || !colour_group || !palette_group) {
    return AudioControlError{kSetAudioError};
  }

  audio_record_ = record;
  modes->SelectItem(record.audio_mode, false);
  Rgb shown{record.bk_red, record.bk_green, record.bk_blue};
  const bool editing_foreground = record.color_type == kForegroundColourType;
  if (editing_foreground) {
    shown = {record.fg_red, record.fg_green, record.fg_blue};
    seven_colour->Selected(record.seven_color != 0, false);
  }
  foreground->Selected(editing_foreground, false);
  background->Selected(!editing_foreground, false);
  edits[0]->SetText(std::to_string(shown.red));
  edits[1]->SetText(std::to_string(shown.green));
  edits[2]->SetText(std::to_string(shown.blue));
  const std::uint32_t colour = OpaqueColour(shown);
  palette->SetSelectedColour(colour);
  swatch->SetBkColor(colour);
  const bool colours_apply = record.audio_mode != kAudioModeOwnColours;
  colour_group->SetEnabled(colours_apply);
  palette_group->SetEnabled(colours_apply);
  return std::nullopt;
}

std::variant<AudioLightSetting, AudioControlError> CLightControlUI::GetAudioRecord(bool take_colour) {
  const auto* modes = Part<CComboUI>(kAudioModeList);
  const auto* seven_colour = Part<COptionUI>(kAudioSevenColour);
  const auto* foreground = Part<COptionUI>(kForegroundCheck);
  const auto* background = Part<COptionUI>(kBackgroundCheck);
  const CControlUI* swatch = Part(kAudioColourSwatch);
  if (!modes || !seven_colour || !foreground || !background || !swatch) return AudioControlError{kGetAudioError};

  AudioLightSetting record = audio_record_;
  if (modes->GetCurSel() >= 0) record.audio_mode = static_cast<std::uint8_t>(modes->GetCurSel());
  record.seven_color = seven_colour->IsSelected() ? 1 : 0;
  if (record.color_type == kForegroundColourType && background->IsSelected()) {
    record.color_type = 0;
  } else if (record.color_type == 0 && foreground->IsSelected()) {
    record.color_type = kForegroundColourType;
  }
  if (take_colour) {
    const Rgb taken = RgbOf(swatch->GetBkColor());
    if (record.color_type == kForegroundColourType) {
      record.fg_red = taken.red, record.fg_green = taken.green, record.fg_blue = taken.blue;
    } else {
      record.bk_red = taken.red, record.bk_green = taken.green, record.bk_blue = taken.blue;
    }
  }
  return record;
}

}  // namespace brontal
