#include "app/lighting_page_actions.h"

#include <variant>
#include <vector>

#include "app/lighting_page_rules.h"
#include "app/main_window.h"
#include "app/synchronised_lighting.h"
#include "devices/corvane_usb_device.h"
#include "devices/device_option_ui.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "support/debug_log.h"
#include "ui/controls/device_key_button_ui.h"
#include "ui/controls/light_control_ui.h"
#include "ui/controls/select_panel_ui.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/slider.h"
#include "ui/windows/colour_select_wnd.h"

namespace brontal {
namespace {

using Channel = CLightControlUI::Channel;

constexpr std::string_view kPanelName = "deng_page";

// The panel's device kinds by family: what its layout tables know.
int PanelKind(DeviceFamily family) {
  switch (family) {
    case DeviceFamily::kKeyboard: return 1;
    case DeviceFamily::kMouse: return 2;
    case DeviceFamily::kMousePad: return 3;
    case DeviceFamily::kHeadset: return 7;
    case DeviceFamily::kUnset: break;
  }
  return 0;
}

std::optional<Channel> ChannelOf(char letter) {
  switch (letter) {
    case 'R': return Channel::kRed;
    case 'G': return Channel::kGreen;
    case 'B': return Channel::kBlue;
    default: return std::nullopt;
  }
}

std::uint8_t Red(std::uint32_t argb) { return static_cast<std::uint8_t>(argb >> 16); }
std::uint8_t Green(std::uint32_t argb) { return static_cast<std::uint8_t>(argb >> 8); }
std::uint8_t Blue(std::uint32_t argb) { return static_cast<std::uint8_t>(argb); }

void SetComponent(std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue, Channel channel, std::uint8_t value) {
  (channel == Channel::kRed ? red : channel == Channel::kGreen ? green : blue) = value;
}

}  // namespace

LightingPageActions::LightingPageActions(CMainWnd& window) : window_(window) {}

CLightControlUI* LightingPageActions::Panel() const {
  return dynamic_cast<CLightControlUI*>(window_.GetPaintManager().FindControl(kPanelName));
}

CCorvaneUSBDevice* LightingPageActions::SelectedDevice() const {
  const CDeviceOptionUI* entry = window_.roster().SelectedEntry();
  return entry ? entry->device() : nullptr;
}

CCorvaneKeyboardDevice* LightingPageActions::SelectedKeyboard() const {
  return dynamic_cast<CCorvaneKeyboardDevice*>(SelectedDevice());
}

void LightingPageActions::ShowSelectedDevice() {
  CLightControlUI* panel = Panel();
  CCorvaneUSBDevice* device = SelectedDevice();
  if (!panel || !device) return;
  const std::optional<LightSetting> live = device->LiveLight();
  if (!live) return;
  panel->SetDeviceKind(PanelKind(device->family()));
  panel->SetModeList(device->LightModes(), kLevelSliderMax, kLevelSliderMax);
  panel->SetLightRecord(*live);
  // The record holds levels; the sliders run over their snapped positions.
  panel->SetBrightness(SliderPositionOf(live->light));
  panel->SetSpeed(SliderPositionOf(live->speed));
  OfferSameMode(*panel);
  if (const auto* keyboard = dynamic_cast<const CCorvaneKeyboardDevice*>(device)) {
    panel->SelectCustomMode(live->custom_group);
    if (const std::optional<AudioControlError> error = panel->SetAudioRecord(keyboard->live_audio()))
      Trace("lighting page:" + error->text);
  }
}

void LightingPageActions::OfferSameMode(CLightControlUI& panel) const {
  int shown = 0;
  for (const CCorvaneUSBDevice* device : window_.roster().devices())
    shown += device->entry() && device->entry()->IsVisible() ? 1 : 0;
  // Synchronised lighting needs a second device to share the effect with.
  panel.SetSameModeAllowed(shown > 1);
  panel.ShowSameMode(true);
}

void LightingPageActions::Apply(CCorvaneUSBDevice& device, const LightSetting& record, bool resume_polling) {
  // A change of the user's takes the device out of synchronised lighting.
  if (resume_polling) device.channel().set_polling_paused(false);
  const bool taken = device.ApplyLightRecord(record, [](bool ok) {
    if (!ok) Trace("lighting page: the device did not take the settings");
  });
  if (!taken) Trace("lighting page: the lighting was not stored; nothing was sent");
}

void LightingPageActions::OnNotify(const RoutedNotify& route, TNotifyUI& msg) {
  CLightControlUI* panel = Panel();
  CCorvaneUSBDevice* device = SelectedDevice();
  if (!panel || !device) return;
  const std::optional<LightSetting> live = device->LiveLight();
  if (!live) return;
  LightSetting record = *live;
  const std::string& name = route.name;
  auto* keyboard = dynamic_cast<CCorvaneKeyboardDevice*>(device);

  if (name == "light_combo_modeSelect") {
    const int mode = panel->GetMode();
    if (mode < 0 || mode > 0xFF) return;
    record.select_item = static_cast<std::uint8_t>(mode);
    panel->ApplyModeLayout(mode);
    OfferSameMode(*panel);
    Apply(*device, record, true);
  } else if (name == "deng_light_slider" || name == "deng_speed_slider") {
    OnLevelSlider(*device, name == "deng_light_slider");
  } else if (name == "light_combo_ZZCCmodeSelect") {
    if (!keyboard) return;
    const int special = panel->GetSpecialMode();
    if (special < 0 || special > 0xFF) return;
    record.zzcc_led_mode = static_cast<std::uint8_t>(special);
    panel->SelectSpecialMode(special);
    Apply(*device, record, false);
  } else if (name == "deng_Color_Pallet") {
    const std::uint32_t colour = panel->GetPaletteColour();
    OnColour(*device, record, Red(colour), Green(colour), Blue(colour), true);
  } else if (name == "deng_edit_R" || name == "deng_edit_G" || name == "deng_edit_B") {
    OnColourEdit(*device, name);
  } else if (name == "color_option_") {
    const std::uint32_t colour = panel->GetSwatchColour(route.index);
    OnColour(*device, record, Red(colour), Green(colour), Blue(colour), false);
  } else if (name == "deng_colordp_btn") {
    PickColour(*device);
  } else if (name == "deng_7color_check") {
    record.multi_color = panel->IsSevenColour() ? 1 : 0;
    panel->SetSevenColour(record.multi_color != 0);
    Apply(*device, record, true);
  } else if (name == "deng_FXL_check" || name == "deng_FXR_check") {
    // Both options report; the one that became selected carries the change.
    const auto* option = dynamic_cast<const COptionUI*>(msg.sender);
    if (option && !option->IsSelected()) return;
    record.fx = static_cast<std::uint8_t>(panel->GetDirection());
    panel->SetDirection(record.fx);
    Apply(*device, record, true);
  } else if (name == "custom_bright_color_btn" || name == "custom_off_color_btn") {
    if (!keyboard) return;
    const bool bright = name == "custom_bright_color_btn";
    const int group = panel->GetCustomMode();
    keyboard->FillKeyColours(bright ? record.red : 0, bright ? record.green : 0, bright ? record.blue : 0,
                             group >= 0 ? std::optional<std::uint8_t>(static_cast<std::uint8_t>(group)) : std::nullopt);
  } else if (name == "light_combo_custommodeSelect") {
    if (!keyboard) return;
    const int group = panel->GetCustomMode();
    if (group < 0 || group >= keyboard::kCustomGroupCount) return;
    panel->SelectCustomMode(group);
    keyboard->SelectCustomGroup(static_cast<std::uint8_t>(group));
  } else if (msg.type == CSelectPanelUI::kSelectEndNotify) {
    if (keyboard) PaintSelectedKeys(*keyboard);
  } else if (name == "deng_Op_tab") {
    ShowSelectedDevice();
  } else if (name == "deng_same_mode") {
    ApplySameMode();
  } else if (keyboard) {
    OnAudioControl(*keyboard, route, msg);
  }
}

bool LightingPageActions::ApplySameMode(std::optional<lighting::SyncEffectType> effect) {
  CCorvaneUSBDevice* selected = SelectedDevice();
  const std::optional<LightSetting> source = selected ? selected->LiveLight() : std::nullopt;
  const std::optional<lighting::Family> family = selected ? AnimationFamily(selected->family()) : std::nullopt;
  if (!source || !family) return false;
  if (!effect) effect = lighting::SyncEffectOfMode(*family, source->select_item);
  if (!effect) return false;
  const lighting::SyncLook look = lighting::SyncLookOf(*effect, *source);
  std::vector<CCorvaneUSBDevice*> joined;
  for (CCorvaneUSBDevice* device : window_.roster().devices()) {
    const CDeviceOptionUI* entry = device->entry();
    const std::optional<lighting::Family> its_family = AnimationFamily(device->family());
    const std::optional<LightSetting> live = device->LiveLight();
    if (!entry || !entry->IsVisible() || !entry->IsSynchro() || !its_family || !live) continue;
    // The device's own record keeps what is its alone (custom group, special
    // mode) and takes the shared look, so that its own effect matches.
    LightSetting record = *live;
    record.select_item = lighting::SyncModeOf(*its_family, *effect);
    record.light = look.brightness;
    record.speed = look.speed;
    record.fx = look.direction;
    record.multi_color = look.multicolour;
    record.red = look.colour.red;
    record.green = look.colour.green;
    record.blue = look.colour.blue;
    device->channel().set_polling_paused(true);
    joined.push_back(device);
    Apply(*device, record, false);
  }
  window_.synchronised_lighting().Join(std::move(joined), look);
  // One panel serves every device: it shows the selected one.
  ShowSelectedDevice();
  return true;
}

void LightingPageActions::OnLevelSlider(CCorvaneUSBDevice& device, bool brightness) {
  CLightControlUI& panel = *Panel();
  LightSetting record = *device.LiveLight();
  const SliderLevel level = LevelFromSlider(brightness ? panel.GetBrightness() : panel.GetSpeed());
  if (brightness)
    panel.SetBrightness(level.snapped);
  else
    panel.SetSpeed(level.snapped);
  if (level.level) (brightness ? record.light : record.speed) = *level.level;
  Apply(device, record, true);
}

void LightingPageActions::OnColour(CCorvaneUSBDevice& device, LightSetting record, std::uint8_t red, std::uint8_t green,
                                   std::uint8_t blue, bool resume_polling) {
  record.red = red;
  record.green = green;
  record.blue = blue;
  record.multi_color = 0;
  Apply(device, record, resume_polling);
  CLightControlUI& panel = *Panel();
  panel.SetColourText(Channel::kRed, std::to_string(red));
  panel.SetColourText(Channel::kGreen, std::to_string(green));
  panel.SetColourText(Channel::kBlue, std::to_string(blue));
  panel.SetSevenColour(false);
  panel.SetPaletteColour(OpaqueColour(red, green, blue));
  panel.SetColourSwatch(OpaqueColour(red, green, blue));
}

void LightingPageActions::OnColourEdit(CCorvaneUSBDevice& device, std::string_view name) {
  CLightControlUI& panel = *Panel();
  const Channel channel = *ChannelOf(name.back());
  const EditedComponent edited = ComponentFromEdit(panel.GetColourText(channel));
  if (edited.rewrite) panel.SetColourText(channel, *edited.rewrite);
  LightSetting record = *device.LiveLight();
  SetComponent(record.red, record.green, record.blue, channel, edited.value);
  OnColour(device, record, record.red, record.green, record.blue, true);
}

void LightingPageActions::PickColour(CCorvaneUSBDevice& device) {
  LightSetting record = *device.LiveLight();
  bool multicolour = record.multi_color != 0;
  const std::optional<std::uint32_t> chosen =
      brontal::PickColour(window_, OpaqueColour(record.red, record.green, record.blue),
                          window_.GetPaintManager().GetScale(), true, &multicolour);
  // The device may have gone while the picker was open.
  if (!chosen || SelectedDevice() != &device) return;
  OnColour(device, record, Red(*chosen), Green(*chosen), Blue(*chosen), true);
  if (!multicolour) return;
  record = *device.LiveLight();
  record.multi_color = 1;
  Panel()->SetSevenColour(true);
  Apply(device, record, true);
}

void LightingPageActions::PaintSelectedKeys(CCorvaneKeyboardDevice& keyboard) {
  std::vector<int> keys;
  const std::vector<CControlUI*>& buttons = keyboard.key_buttons();
  for (std::size_t key = 0; key < buttons.size(); ++key) {
    const auto* button = dynamic_cast<const CDeviceKeyButtonUI*>(buttons[key]);
    if (button && button->IsSelected()) keys.push_back(static_cast<int>(key));
  }
  const int group = Panel()->GetCustomMode();
  keyboard.PaintKeys(keys, group >= 0 ? std::optional<std::uint8_t>(static_cast<std::uint8_t>(group)) : std::nullopt);
}

void LightingPageActions::OnAudioControl(CCorvaneKeyboardDevice& keyboard, const RoutedNotify& route, TNotifyUI& msg) {
  CLightControlUI& panel = *Panel();
  const std::string& name = route.name;
  const bool take_colour = name == "light_combo_audiomodeSelect" || name == "deng_7audiocolor_check";
  std::variant<AudioLightSetting, AudioControlError> read = panel.GetAudioRecord(take_colour);
  if (const auto* error = std::get_if<AudioControlError>(&read)) {
    Trace("lighting page: " + error->text);
    return;
  }
  AudioLightSetting record = std::get<AudioLightSetting>(read);
  auto set_colour = [&record](std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    if (record.color_type == 1) {
      record.seven_color = record.fg_red == red && record.fg_green == green && record.fg_blue == blue
                               ? record.seven_color
                               : std::uint8_t{0};
      record.fg_red = red;
      record.fg_green = green;
      record.fg_blue = blue;
    } else {
      record.bk_red = red;
      record.bk_green = green;
      record.bk_blue = blue;
    }
  };
  if (take_colour) {
    // The record as the panel gives it.
  } else if (name == "audio_FgColor_check" || name == "audio_BkColor_check") {
    const auto* option = dynamic_cast<const COptionUI*>(msg.sender);
    if (option && !option->IsSelected()) return;
    record.color_type = name == "audio_FgColor_check" ? 1 : 0;
  } else if (name == "audiocolor_option_") {
    const std::uint32_t colour = panel.GetAudioSwatchColour(route.index);
    set_colour(Red(colour), Green(colour), Blue(colour));
    if (record.color_type == 1) record.seven_color = 0;
  } else if (name == "deng_audioColor_Pallet") {
    const std::uint32_t colour = panel.GetAudioPaletteColour();
    set_colour(Red(colour), Green(colour), Blue(colour));
  } else if (name == "deng_audiocolordp_btn") {
    const std::uint32_t shown = record.color_type == 1 ? OpaqueColour(record.fg_red, record.fg_green, record.fg_blue)
                                                       : OpaqueColour(record.bk_red, record.bk_green, record.bk_blue);
    const std::optional<std::uint32_t> chosen =
        brontal::PickColour(window_, shown, window_.GetPaintManager().GetScale(), false);
    if (!chosen || SelectedKeyboard() != &keyboard) return;
    set_colour(Red(*chosen), Green(*chosen), Blue(*chosen));
  } else if (name == "deng_audioedit_R" || name == "deng_audioedit_G" || name == "deng_audioedit_B") {
    const Channel channel = *ChannelOf(name.back());
    const EditedComponent edited = ComponentFromEdit(panel.GetAudioColourText(channel));
    if (record.color_type == 1) {
      SetComponent(record.fg_red, record.fg_green, record.fg_blue, channel, edited.value);
      record.seven_color = 0;
    } else {
      SetComponent(record.bk_red, record.bk_green, record.bk_blue, channel, edited.value);
    }
  } else {
    window_.NotBuilt("lighting page action", name);
    return;
  }
  if (const std::optional<AudioControlError> error = panel.SetAudioRecord(record)) {
    Trace("lighting page: " + error->text);
    return;
  }
  if (!keyboard.ApplyAudioRecord(record)) Trace("lighting page: the audio lighting was not stored");
}

void LightingPageActions::OnGameEvent(std::uintptr_t kind, std::intptr_t mode) {
  CCorvaneUSBDevice* device = SelectedDevice();
  if (!device) return;
  const std::optional<LightSetting> live = device->LiveLight();
  // Another program's word: a mode the model lacks is refused.
  if (!live || mode < 0 || static_cast<std::size_t>(mode) >= device->LightModes().size()) {
    Trace("game event: no mode " + std::to_string(mode) + " on this device");
    return;
  }
  LightSetting record = *live;
  // While an event's mode shows, the user's own mode stays remembered: a
  // second event would otherwise remember the first one's and keep it.
  if (kind == 0 && !game_shown_) record.old_led_mode = ModeToRestore(record.select_item);
  record.select_item = static_cast<std::uint8_t>(mode);
  if (CLightControlUI* panel = Panel()) panel->SelectMode(static_cast<int>(mode));
  Apply(*device, record, true);
  game_shown_ = true;
  window_.ArmWindowTimer(kGameRestoreTimer, kGameShowTime);
}

void LightingPageActions::RestoreAfterGame() {
  window_.StopWindowTimer(kGameRestoreTimer);
  game_shown_ = false;
  CCorvaneUSBDevice* device = SelectedDevice();
  if (!device) return;
  const std::optional<LightSetting> live = device->LiveLight();
  if (!live) return;
  LightSetting record = *live;
  record.select_item = record.old_led_mode;
  if (CLightControlUI* panel = Panel()) panel->SelectMode(record.select_item);
  Apply(*device, record, true);
}

}  // namespace brontal
