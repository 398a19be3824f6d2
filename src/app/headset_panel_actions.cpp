#include "app/headset_panel_actions.h"

#include <optional>
#include <string>

#include "app/main_window.h"
#include "devices/device_option_ui.h"
#include "devices/headset/corvane_zu6533_device.h"
#include "profiles/eq_members.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/slider.h"
#include "ui/windows/msg_wnd.h"

namespace brontal {
namespace {

constexpr std::string_view kEqOption = "6533_eq_option_";
constexpr std::string_view kBandSlider = "6533_eq_hz_slider_";
constexpr std::string_view kCustomArea = "custom_eq_option_layout";
constexpr std::string_view kCurveCombo = "custom_eq_name_combo";
constexpr std::string_view kCurveName = "custom_eq_name_edit";
constexpr std::string_view kMicCheck = "6533_MicIn_option";
constexpr std::string_view kMicSlider = "6533_MicIn_slider";
constexpr std::string_view kMonitorCheck = "6533_MicMoniter_option";
constexpr std::string_view kMonitorSlider = "6533_MicMoniter_slider";
constexpr std::string_view kVoiceChanger = "magic_enable_option";
constexpr std::string_view kEffects = "magic_option_layout";
constexpr std::string_view kEffectOption = "magic_option_";
constexpr int kEffectCount = 4;
constexpr int kCurveItemHeight = 30;

bool IsSelected(const CControlUI* control) {
  const auto* option = dynamic_cast<const COptionUI*>(control);
  return option && option->IsSelected();
}

int SliderValue(const CControlUI* control) {
  const auto* slider = dynamic_cast<const CSliderUI*>(control);
  return slider ? slider->GetValue() : 0;
}

void Enable(CControlUI* control, bool enabled) {
  if (control) control->SetEnabled(enabled);
}

void Show(CControlUI* control, bool visible) {
  if (control) control->SetVisible(visible);
}

void Check(CControlUI* control, bool selected) {
  if (auto* option = dynamic_cast<COptionUI*>(control)) option->Selected(selected, false);
}

void SetSlider(CControlUI* control, int value) {
  if (auto* slider = dynamic_cast<CSliderUI*>(control)) slider->SetValue(value);
}

}  // namespace

HeadsetPanelActions::HeadsetPanelActions(CMainWnd& window) : window_(window) {}

CCorvaneZU6533Device* HeadsetPanelActions::SelectedHeadset() const {
  const CDeviceOptionUI* entry = window_.roster().SelectedEntry();
  return entry ? dynamic_cast<CCorvaneZU6533Device*>(entry->device()) : nullptr;
}

CControlUI* HeadsetPanelActions::Part(std::string_view name) const {
  return window_.GetPaintManager().FindControl(name);
}

CControlUI* HeadsetPanelActions::Part(std::string_view prefix, int index) const {
  return Part(std::string(prefix) + std::to_string(index));
}

void HeadsetPanelActions::SelectOnly(std::string_view prefix, int count, int chosen) {
  for (int i = 1; i <= count; ++i) Check(Part(prefix, i), i == chosen);
}

void HeadsetPanelActions::ShowSelectedDevice() {
  CCorvaneZU6533Device* headset = SelectedHeadset();
  if (!headset) return;
  ShowEqualiser(*headset);
  ShowMicrophone(headset->sound());
  ShowVoiceChanger(headset->sound());
  // No surround setting is kept or sent: its switch only says whether the
  // system has one.
  Show(Part("virtual_unavailable_text"), !headset->sound().surround);
}

void HeadsetPanelActions::ShowEqualiser(CCorvaneZU6533Device& headset) {
  const HeadsetSoundState& sound = headset.sound();
  const bool usable = sound.equaliser_unavailable.empty();
  Show(Part("eq_unavailable_layout"), !usable);
  if (CControlUI* reason = Part("eq_unavailable_reason")) reason->SetText(sound.equaliser_unavailable);
  SelectOnly(kEqOption, kCustomEqPreset, sound.mirror.eq_type);
  for (int n = 1; n <= kCustomEqPreset; ++n) Enable(Part(kEqOption, n), usable);
  for (std::size_t i = 0; i < kEqBandCount; ++i) {
    CControlUI* slider = Part(kBandSlider, static_cast<int>(i));
    SetSlider(slider, sound.bands[i]);
    Enable(slider, usable);
  }
  Enable(Part(kCustomArea), usable && sound.mirror.eq_type == kCustomEqPreset);
  auto* curves = dynamic_cast<CComboUI*>(Part(kCurveCombo));
  if (!curves) return;
  curves->RemoveAll();
  for (const std::string& name : headset.profile().GetCustomEqNames()) {
    CControlUI* item = curves->AddTextItem(name);
    item->SetFixedHeight(kCurveItemHeight);
    item->SetToolTip(name);
  }
  curves->SelectItem(sound.shown_curve ? static_cast<int>(*sound.shown_curve) : -1, false);
}

void HeadsetPanelActions::ShowMicrophone(const HeadsetSoundState& sound) {
  Check(Part(kMicCheck), sound.mirror.mic_in_select != 0);
  SetSlider(Part(kMicSlider), sound.mirror.mic_in_value);
  Check(Part(kMonitorCheck), sound.mirror.mic_monitor_select != 0);
  SetSlider(Part(kMonitorSlider), sound.mirror.mic_monitor_value);
  for (std::string_view name : {kMicCheck, kMicSlider}) Enable(Part(name), sound.mic);
  for (std::string_view name : {kMonitorCheck, kMonitorSlider}) Enable(Part(name), sound.monitor);
}

void HeadsetPanelActions::ShowVoiceChanger(const HeadsetSoundState& sound) {
  const bool on = sound.mirror.magic_enable != 0;
  Check(Part(kVoiceChanger), on);
  SelectOnly(kEffectOption, kEffectCount, sound.mirror.magic_type);
  Enable(Part(kVoiceChanger), sound.voice_changer);
  Enable(Part(kEffects), sound.voice_changer && on);
  Show(Part("magic_unavailable_text"), !sound.voice_changer);
}

void HeadsetPanelActions::OnNotify(const RoutedNotify& route, TNotifyUI& msg) {
  CCorvaneZU6533Device* headset = SelectedHeadset();
  if (!headset) return;
  const std::string& name = route.name;
  if (name == "6533_voice_Op_tab" || name == "magic_Op_tab" || name == "Virtual7.1_Op_tab") {
    ShowSelectedDevice();
  } else if (name == kEqOption) {
    headset->SelectEqOption(route.index);
  } else if (name == kBandSlider) {
    if (route.index < 0 || route.index >= static_cast<int>(kEqBandCount)) return;
    headset->SetEqBand(static_cast<std::size_t>(route.index), SliderValue(msg.sender));
    // The band makes the curve custom and no saved one: the options and the
    // custom area follow.
    ShowSelectedDevice();
  } else if (name == kCurveCombo) {
    const auto* curves = dynamic_cast<const CComboUI*>(msg.sender);
    if (curves && curves->GetCurSel() >= 0) headset->ApplyCustomEq(static_cast<std::size_t>(curves->GetCurSel()));
  } else if (name == "hs_EQ_btn_save") {
    SaveCurve(*headset);
  } else if (name == "hs_EQ_btn_delete") {
    const auto* curves = dynamic_cast<const CComboUI*>(Part(kCurveCombo));
    if (curves && curves->GetCurSel() >= 0) headset->DeleteCustomEq(static_cast<std::size_t>(curves->GetCurSel()));
  } else if (name == kMicSlider) {
    headset->SetMicLevel(SliderValue(msg.sender));
  } else if (name == kMicCheck) {
    headset->SetMicMuted(!IsSelected(msg.sender));
  } else if (name == kMonitorSlider) {
    headset->SetMonitorLevel(SliderValue(msg.sender));
  } else if (name == kMonitorCheck) {
    headset->SetMonitorMuted(!IsSelected(msg.sender));
  } else if (name == kVoiceChanger) {
    headset->SetVoiceChanger(IsSelected(msg.sender));
    Enable(Part(kEffects), IsSelected(msg.sender));
  } else if (name == kEffectOption) {
    headset->SelectVoiceEffect(route.index);
  }
}

void HeadsetPanelActions::SaveCurve(CCorvaneZU6533Device& headset) {
  CControlUI* field = Part(kCurveName);
  const auto* curves = dynamic_cast<const CComboUI*>(Part(kCurveCombo));
  if (!field || !curves) return;
  const int chosen = curves->GetCurSel();
  const int saved = headset.SaveCustomEq(
      field->GetText(), chosen >= 0 ? std::optional<std::size_t>(static_cast<std::size_t>(chosen)) : std::nullopt);
  if (saved == 0)
    ShowMessage(window_, "", "message_text_5", window_.GetPaintManager().GetScale(), true, CMsgWnd::kConfirmOnly);
  // A saved name is taken: the field is free for the next one, and an empty
  // field saves over the chosen curve.
  if (saved == 1) field->SetText("");
}

}  // namespace brontal
