#include "app/system_page_actions.h"

#include <string>

#include "app/main_window.h"
#include "devices/device_option_ui.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "support/debug_log.h"
#include "ui/controls/key_set_control_ui.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/slider.h"
#include "ui/windows/msg_wnd.h"

namespace brontal {
namespace {

// Report rates, repeat delays and on-board layers: four options each.
constexpr int kOptionCount = 4;
constexpr std::string_view kPageName = "system_page";
constexpr std::string_view kPollingRate = "polling_rate_option_";
constexpr std::string_view kRepeatDelay = "repeat_delay_check_";
constexpr std::string_view kLayer = "Layer_";
constexpr std::string_view kRepeatDelayText = "repeat_delay_text_";
constexpr std::string_view kLayerMissingText = "message_layer_missing";

int OptionIndex(int index) { return index >= 0 && index < kOptionCount ? index : 0; }

std::uint16_t SelectedState(const CControlUI* sender) {
  const auto* option = dynamic_cast<const COptionUI*>(sender);
  return option && option->IsSelected() ? 1 : 0;
}

}  // namespace

SystemPageActions::SystemPageActions(CMainWnd& window) : window_(window) {}

CCorvaneUSBDevice* SystemPageActions::SelectedDevice() const {
  const CDeviceOptionUI* entry = window_.roster().SelectedEntry();
  return entry ? entry->device() : nullptr;
}

CCorvaneKeyboardDevice* SystemPageActions::SelectedKeyboard() const {
  return dynamic_cast<CCorvaneKeyboardDevice*>(SelectedDevice());
}

CControlUI* SystemPageActions::Part(std::string_view name) const {
  CControlUI* page = window_.GetPaintManager().FindControl(kPageName);
  return page ? CPaintManagerUI::FindSubControlByName(page, name) : nullptr;
}

void SystemPageActions::SelectOnly(std::string_view prefix, int chosen) {
  for (int i = 0; i < kOptionCount; ++i)
    if (auto* option = dynamic_cast<COptionUI*>(Part(std::string(prefix) + std::to_string(i))))
      option->Selected(i == chosen, false);
}

void SystemPageActions::ShowRepeatDelay(int delay) {
  SelectOnly(kRepeatDelay, delay);
  if (CControlUI* label = Part("repeat_delay_time_label1"))
    label->SetText(std::string(kRepeatDelayText) + std::to_string(delay));
}

void SystemPageActions::ShowSelectedDevice() {
  CCorvaneKeyboardDevice* keyboard = SelectedKeyboard();
  if (!keyboard) return;
  const KeyboardSystem system = keyboard->profile().GetKeyboardSystem();
  SelectOnly(kPollingRate, OptionIndex(system.polling_rate));
  ShowRepeatDelay(OptionIndex(system.repeat_delay));
  const std::pair<std::string_view, std::uint16_t> flags[] = {
      {"winlockflag_option", system.win_flag}, {"wflag_option", system.w_flag}, {"6flag_option", system.key6_flag}};
  for (const auto& [name, value] : flags)
    if (auto* option = dynamic_cast<COptionUI*>(Part(name))) option->Selected(value != 0, false);
  if (auto* slider = dynamic_cast<CSliderUI*>(Part("repeat_rate_slider"))) slider->SetValue(system.repeat);
  // A profile past the fourth has no on-board layer: no option is selected.
  SelectOnly(kLayer, keyboard->ProfilePosition());
}

void SystemPageActions::OnNotify(const RoutedNotify& route, TNotifyUI& msg) {
  const std::string& name = route.name;
  if (name == "default_btn") {
    RestoreDefaults();
    return;
  }
  CCorvaneKeyboardDevice* keyboard = SelectedKeyboard();
  if (!keyboard) return;
  if (name == kLayer) {
    SwitchLayer(*keyboard, OptionIndex(route.index));
    return;
  }
  if (name == "reset_repeat_btn") {
    if (CControlUI* field = Part("repeat_input_richedit")) field->SetText("");
    return;
  }
  if (name == "system_Op_tab") {
    ShowSelectedDevice();
    return;
  }
  CKeyboardProfiledata& profile = keyboard->profile();
  KeyboardSystem system = profile.GetKeyboardSystem();
  // The key repeat values are the profile's alone: no command carries them.
  bool in_record = true;
  if (name == kPollingRate) {
    const int rate = OptionIndex(route.index);
    SelectOnly(kPollingRate, rate);
    system.polling_rate = static_cast<std::uint16_t>(rate);
  } else if (name == "winlockflag_option") {
    system.win_flag = SelectedState(msg.sender);
  } else if (name == "wflag_option") {
    system.w_flag = SelectedState(msg.sender);
  } else if (name == "6flag_option") {
    system.key6_flag = SelectedState(msg.sender);
  } else if (name == kRepeatDelay) {
    const int delay = OptionIndex(route.index);
    ShowRepeatDelay(delay);
    system.repeat_delay = static_cast<std::uint16_t>(delay);
    in_record = false;
  } else if (name == "repeat_rate_slider") {
    const auto* slider = dynamic_cast<const CSliderUI*>(msg.sender);
    if (!slider) return;
    system.repeat = static_cast<std::uint16_t>(slider->GetValue());
    in_record = false;
  } else {
    window_.NotBuilt("keyboard system page", msg.type + " " + name);
    return;
  }
  profile.SetKeyboardSystem(system);
  if (!profile.Save()) {
    Trace("system page: profile not saved, nothing sent: " + profile.ProfilePath().string());
    return;
  }
  if (in_record)
    keyboard->WriteSettings(0, 0, [](bool ok) {
      if (!ok) Trace("system page: the keyboard did not take the settings");
    });
}

void SystemPageActions::SwitchLayer(CCorvaneKeyboardDevice& keyboard, int layer) {
  SelectOnly(kLayer, layer);
  // The key panel lets go of the key it showed: the new layer's keys come
  // with the page refresh of the switch.
  window_.key_assignment().StopKeyCapture();
  if (auto* panel = dynamic_cast<CKeySetControlUI*>(window_.GetPaintManager().FindControl(CKeySetControlUI::kItemName)))
    panel->EnableChangeButtons(false);
  keyboard.SwitchLayer(layer, [this, &keyboard](const CCorvaneKeyboardDevice::LayerSwitch& result) {
    if (result.refused) {
      ShowMessage(window_, "", kLayerMissingText, window_.GetPaintManager().GetScale(), true, CMsgWnd::kConfirmOnly);
      // The options show the layer the keyboard is still on.
      if (SelectedKeyboard() == &keyboard) ShowSelectedDevice();
      return;
    }
    // A refused macro download was told by the keyboard's own report.
    if (!result.keys.ok()) Trace("layer " + std::to_string(result.layer) + ": the key table was not written");
  });
}

void SystemPageActions::RestoreDefaults() {
  CCorvaneUSBDevice* device = SelectedDevice();
  if (!device) return;
  const bool confirmed = ShowMessage(window_, "", "message_text_22", window_.GetPaintManager().GetScale(), true,
                                     CMsgWnd::kConfirmAndCancel) == 1;
  // The device may have gone while the box was open.
  if (!confirmed || SelectedDevice() != device) return;
  device->RestoreDefaults([](bool ok) {
    if (!ok) Trace("default_btn: the defaults did not all reach the device");
  });
}

}  // namespace brontal
