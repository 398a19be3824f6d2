#include "app/key_assignment_actions.h"

#include <algorithm>
#include <string>
#include <variant>
#include <vector>

#include "app/main_window.h"
#include "devices/device_option_ui.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "devices/mouse/corvane_mouse_device.h"
#include "input_capture/input_capture.h"
#include "macros/macro_index.h"
#include "support/debug_log.h"
#include "ui/controls/key_capture_field_ui.h"
#include "ui/toolkit/option.h"

namespace brontal {
namespace {

using Layer = CKeySetControlUI::Layer;

constexpr std::string_view kKeyField = "keyset_keyboard_text_edit";
constexpr std::string_view kFnLayerOption = "key_set_FN_tier";
constexpr std::string_view kMouseButtonCombo = "keyset_mouse_button_combo";
// Keyboard and mouse keep four key tables on board.
constexpr int kOnboardTables = 4;

std::vector<std::string> MacroNames(const CCorvaneUSBDevice& device) {
  const MacroIndex index = MacroIndex::Read(device.UserDataFolder());
  std::vector<std::string> names;
  for (std::size_t i = 0; i < index.Count(); ++i) names.push_back(index.Name(i));
  return names;
}

KeyAssignment* KeyOf(std::vector<KeyAssignment>& keys, std::optional<std::size_t> key) {
  if (!key) return nullptr;
  const auto found = std::ranges::find(keys, *key, &KeyAssignment::key_index);
  return found == keys.end() ? nullptr : &*found;
}

// A later profile's keys live in the profile alone.
bool HasOnboardTable(int position) {
  if (position >= 0 && position < kOnboardTables) return true;
  Trace("no on-board key table for profile " + std::to_string(position + 1));
  return false;
}

}  // namespace

KeyAssignmentActions::KeyAssignmentActions(CMainWnd& window) : window_(window) {}

KeyAssignmentActions::~KeyAssignmentActions() { StopKeyCapture(); }

CKeySetControlUI* KeyAssignmentActions::Panel() const {
  return dynamic_cast<CKeySetControlUI*>(window_.GetPaintManager().FindControl(CKeySetControlUI::kItemName));
}

CCorvaneKeyboardDevice* KeyAssignmentActions::SelectedKeyboard() const {
  const CDeviceOptionUI* entry = window_.roster().SelectedEntry();
  return entry ? dynamic_cast<CCorvaneKeyboardDevice*>(entry->device()) : nullptr;
}

CCorvaneMouseDevice* KeyAssignmentActions::SelectedMouse() const {
  const CDeviceOptionUI* entry = window_.roster().SelectedEntry();
  return entry ? dynamic_cast<CCorvaneMouseDevice*>(entry->device()) : nullptr;
}

Layer KeyAssignmentActions::ShownLayer() const {
  const auto* option = dynamic_cast<const COptionUI*>(window_.GetPaintManager().FindControl(kFnLayerOption));
  return option && option->IsSelected() ? Layer::kFn : Layer::kNormal;
}

void KeyAssignmentActions::OnNotify(const RoutedNotify& route, TNotifyUI& msg) {
  CKeySetControlUI* panel = Panel();
  const std::string& name = route.name;
  if (msg.type == notify::kClick && name == "key_") {
    OnPictureKey(route.index);
    return;
  }
  if (msg.type == notify::kClick && name == "main_btn_ok") {
    SaveToDevice();
    return;
  }
  if (!panel) {
    window_.NotBuilt("key assignment panel", msg.type + " " + name);
    return;
  }
  if (msg.type == notify::kClick) {
    if (name == "key_butt_keysave") {
      Apply();
    } else if (name == "key_butt_keydefalut") {
      RestoreDefault();
    } else if (name == "key_butt_keycancel") {
      panel->ShowKept(ShownLayer());
      panel->EnableChangeButtons(false);
    } else {  // "key_butt_prosave"
      SaveToDevice();
    }
  } else if (msg.type == notify::kItemSelect) {
    if (name == kMouseButtonCombo) {
      if (CCorvaneMouseDevice* mouse = SelectedMouse()) ShowSelectedButton(*panel, *mouse);
      return;
    }
    panel->OnItemPicked(name);
    Apply();
    if (!window_.auto_apply()) window_.ArmWindowTimer(CMainWnd::kAutoApplyTimer, CMainWnd::kAutoApplyDelay);
  } else if (msg.type == notify::kSelectChanged) {
    const auto* option = dynamic_cast<const COptionUI*>(msg.sender);
    if (name == "key_ComBox_check_") {
      if (!option || !option->IsSelected()) return;
      panel->SelectModifier(route.index);
      Apply();
    } else if (name == kFnLayerOption) {
      // The picture and the panel show the chosen layer.
      if (CCorvaneKeyboardDevice* keyboard = SelectedKeyboard()) {
        keyboard->RefreshKeyMarks();
        ShowSelectedKey(*panel, *keyboard);
      }
    } else if (name != "key_Op_tab") {  // the tab shows its page itself
      window_.NotBuilt("key assignment", msg.type + " " + name);
    }
  } else if (msg.type == notify::kKillFocus) {
    if (name == kKeyField)
      StopKeyCapture();
    else
      Apply();
  } else if (msg.type == CKeyCaptureFieldUI::kSetFocusNotification) {
    StartKeyCapture();
  }
}

void KeyAssignmentActions::OnPictureKey(int key) {
  CCorvaneKeyboardDevice* keyboard = SelectedKeyboard();
  if (!keyboard) return;
  if (ShownLayer() == Layer::kFn)
    keyboard->SelectFnKey(key);
  else
    keyboard->SelectKey(key);
  if (CKeySetControlUI* panel = Panel()) ShowSelectedKey(*panel, *keyboard);
}

void KeyAssignmentActions::ShowSelectedKey(CKeySetControlUI& panel, CCorvaneKeyboardDevice& keyboard) {
  if (ShownLayer() == Layer::kFn) {
    if (const KeyAssignment* key = KeyOf(keyboard.mutable_fn_keys(), keyboard.selected_fn_key()))
      panel.ShowFnAssignment(*key);
  } else if (const KeyAssignment* key = KeyOf(keyboard.mutable_keys(), keyboard.selected_key())) {
    panel.ShowAssignment(*key);
  }
}

void KeyAssignmentActions::ShowSelectedButton(CKeySetControlUI& panel, CCorvaneMouseDevice& mouse) {
  if (const KeyAssignment* button = KeyOf(mouse.mutable_keys(), panel.SelectedMouseButton()))
    panel.ShowAssignment(*button);
}

void KeyAssignmentActions::ShowSelectedDevice() {
  CKeySetControlUI* panel = Panel();
  const CDeviceOptionUI* entry = window_.roster().SelectedEntry();
  CCorvaneUSBDevice* device = entry ? entry->device() : nullptr;
  if (device != shown_) StopKeyCapture();
  shown_ = device;
  if (!panel) return;
  const bool is_mouse = device && device->family() == DeviceFamily::kMouse;
  panel->SetDeviceKind(is_mouse ? CKeySetControlUI::DeviceKind::kMouse : CKeySetControlUI::DeviceKind::kKeyboard);
  if (!device) return;
  panel->FillMacroList(MacroNames(*device));
  if (auto* keyboard = dynamic_cast<CCorvaneKeyboardDevice*>(device)) ShowSelectedKey(*panel, *keyboard);
  if (auto* mouse = dynamic_cast<CCorvaneMouseDevice*>(device)) ShowSelectedButton(*panel, *mouse);
}

void KeyAssignmentActions::Apply() {
  CKeySetControlUI* panel = Panel();
  if (!panel) return;
  if (CCorvaneMouseDevice* mouse = SelectedMouse()) return ApplyToButton(*panel, *mouse);
  CCorvaneKeyboardDevice* keyboard = SelectedKeyboard();
  if (!keyboard) return;
  const bool fn = ShownLayer() == Layer::kFn;
  std::vector<KeyAssignment>& keys = fn ? keyboard->mutable_fn_keys() : keyboard->mutable_keys();
  KeyAssignment* key = KeyOf(keys, fn ? keyboard->selected_fn_key() : keyboard->selected_key());
  if (!key) return;
  key->assignment = (fn ? panel->BuildFnAssignment() : panel->BuildAssignment()).assignment;
  CKeyboardProfiledata& profile = keyboard->profile();
  if (fn)
    profile.SetKeyFnList(keys);
  else
    profile.SetKeyList(keys);
  if (!profile.Save()) Trace("profile not saved: " + profile.ProfilePath().string());
  keyboard->RefreshKeyMarks();
  panel->EnableChangeButtons(true);
}

void KeyAssignmentActions::ApplyToButton(CKeySetControlUI& panel, CCorvaneMouseDevice& mouse) {
  std::vector<KeyAssignment>& buttons = mouse.mutable_keys();
  KeyAssignment* button = KeyOf(buttons, panel.SelectedMouseButton());
  if (!button) return;
  button->assignment = panel.BuildAssignment().assignment;
  mouse.profile().SetKeyList(buttons);
  if (!mouse.SaveProfile()) Trace("profile not saved: " + mouse.profile().ProfilePath().string());
  panel.EnableChangeButtons(true);
}

void KeyAssignmentActions::RestoreDefault() {
  CKeySetControlUI* panel = Panel();
  if (!panel) return;
  panel->ShowDefault();
  if (!SelectedKeyboard()) {
    panel->EnableChangeButtons(true);
    return;
  }
  Apply();
  SaveToDevice();
}

void KeyAssignmentActions::SaveToDevice() {
  CCorvaneMouseDevice* mouse = SelectedMouse();
  CCorvaneKeyboardDevice* keyboard = SelectedKeyboard();
  if (!mouse && !keyboard) return;
  auto written = [keyboard](const KeyWriteOutcome& outcome) {
    // A failed macro download was told by the device and left the table unwritten.
    if (!outcome.ok()) Trace("key assignments not written");
    if (keyboard) keyboard->RefreshKeyMarks();
  };
  if (mouse) {
    if (const int position = mouse->ProfilePosition(); HasOnboardTable(position))
      mouse->WriteKeysWithMacros(position, mouse->keys(), std::move(written));
  } else if (ShownLayer() == Layer::kFn) {
    keyboard->WriteFnKeysWithMacros(0, std::move(written));
  } else if (const int position = keyboard->ProfilePosition(); HasOnboardTable(position)) {
    keyboard->WriteKeysWithMacros(position, keyboard->keys(), std::move(written));
  }
  if (CKeySetControlUI* panel = Panel()) panel->EnableChangeButtons(false);
}

void KeyAssignmentActions::RefreshKeyLabels() {
  for (CCorvaneUSBDevice* device : window_.roster().devices()) {
    if (auto* keyboard = dynamic_cast<CCorvaneKeyboardDevice*>(device)) keyboard->RefreshKeyMarks();
  }
}

void KeyAssignmentActions::StartKeyCapture() {
  InputCapture* capture = window_.input_capture();
  if (!capture) return;
  std::string reason;
  if (!capture->Start([this](const CapturedInput& input) { OnCaptured(input); }, reason)) {
    Trace("key capture: " + reason);
    return;
  }
  capture_ = capture;
}

void KeyAssignmentActions::StopKeyCapture() {
  if (capture_) capture_->Stop();
  capture_ = nullptr;
}

void KeyAssignmentActions::OnCaptured(const CapturedInput& input) {
  // The system-wide captures also see what is typed into other programs once
  // ours is in the background, and nothing counts while the system suspends.
  if (!window_.window_active() || !window_.hooks_enabled()) return;
  const auto* key = std::get_if<CapturedKey>(&input.event);
  CKeySetControlUI* panel = Panel();
  if (key && panel && panel->CaptureKey(key->key, ShownLayer())) Apply();
}

}  // namespace brontal
