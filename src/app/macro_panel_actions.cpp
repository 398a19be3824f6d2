#include "app/macro_panel_actions.h"

#include <algorithm>
#include <chrono>

#include "app/desktop_services.h"
#include "app/main_window.h"
#include "devices/corvane_usb_device.h"
#include "devices/device_option_ui.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "macros/macro_key_action.h"
#include "macros/macro_key_repair.h"
#include "support/debug_log.h"
#include "ui/controls/device_profile_ui.h"
#include "ui/controls/key_set_control_ui.h"
#include "ui/controls/macro_control_ui.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/resource_manager.h"
#include "ui/toolkit/toolkit.h"
#include "ui/windows/msg_wnd.h"

namespace brontal {
namespace {

constexpr char kMacroFilter[] = "Macro Files(*.mac)";

struct MoveButton {
  std::string_view name;
  MacroMove move;
};
constexpr MoveButton kMoveButtons[] = {{"macro_btn_up", MacroMove::kUp},
                                       {"macro_btn_down", MacroMove::kDown},
                                       {"macro_btn_uptop", MacroMove::kToTop},
                                       {"macro_btn_downbottom", MacroMove::kToBottom}};

struct MovementButton {
  std::string_view name;
  MacroMovement movement;
};
constexpr MovementButton kMovementButtons[] = {{"macro_inset_moveleftkey_btn", MacroMovement::kLeft},
                                               {"macro_inset_moverightkey_btn", MacroMovement::kRight},
                                               {"macro_inset_moveupkey_btn", MacroMovement::kUp},
                                               {"macro_inset_movedownkey_btn", MacroMovement::kDown}};

bool KeepsMacros(const CCorvaneUSBDevice& device) {
  return device.family() == DeviceFamily::kKeyboard || device.family() == DeviceFamily::kMouse;
}

bool PlaysMacro(std::span<const KeyAssignment> keys, std::size_t macro) {
  return std::ranges::any_of(keys, [macro](const KeyAssignment& key) {
    return IsMacroAction(key.assignment) && MacroIndexOf(key.assignment) == macro;
  });
}

}  // namespace

MacroPanelActions::MacroPanelActions(CMainWnd& window, DesktopServices& desktop) : window_(window), desktop_(desktop) {}

MacroPanelActions::~MacroPanelActions() {
  if (capture_) capture_->Stop();
  if (CMacroControlUI* panel = Panel()) panel->on_record_item = nullptr;
}

CMacroControlUI* MacroPanelActions::Panel() const {
  return dynamic_cast<CMacroControlUI*>(window_.GetPaintManager().FindControl(CMacroControlUI::kItemName));
}

CKeySetControlUI* MacroPanelActions::KeyPanel() const {
  return dynamic_cast<CKeySetControlUI*>(window_.GetPaintManager().FindControl(CKeySetControlUI::kItemName));
}

CCorvaneUSBDevice* MacroPanelActions::SelectedDevice() const {
  const CDeviceOptionUI* entry = window_.roster().SelectedEntry();
  return entry ? entry->device() : nullptr;
}

bool MacroPanelActions::Ask(std::string_view text_id) {
  return ShowMessage(window_, "", text_id, window_.GetPaintManager().GetScale(), true, CMsgWnd::kConfirmAndCancel) == 1;
}

void MacroPanelActions::Tell(const std::string& text, bool is_identifier) {
  Trace("macros: " + text);
  ShowMessage(window_, "", text, window_.GetPaintManager().GetScale(), is_identifier, CMsgWnd::kConfirmOnly);
}

void MacroPanelActions::TellIfNotSaved(MacroEdit edit) {
  if (edit == MacroEdit::kNotSaved) Tell("macro_not_saved_text", true);
}

void MacroPanelActions::ShowSelectedDevice() {
  CMacroControlUI* panel = Panel();
  if (!panel) return;
  // The menu's record items reach the panel's owner this way.
  panel->on_record_item = [this, panel](std::string_view item) { StartRecording(*panel, item); };
  if (const InputCapture* capture = window_.input_capture()) panel->ShowCaptureBackend(capture->backend());
  const CCorvaneUSBDevice* device = SelectedDevice();
  const auto folder = device && KeepsMacros(*device) ? std::optional(device->UserDataFolder()) : std::nullopt;
  if (panel->Folder() && folder && panel->Folder()->Path() == *folder) return;
  StopRecording();
  panel->ShowFolder(folder);
}

void MacroPanelActions::OnSelectedDeviceLeaving() {
  StopRecording();
  if (CMacroControlUI* panel = Panel()) panel->ShowFolder(std::nullopt);
}

void MacroPanelActions::ReloadMacros() {
  if (CMacroControlUI* panel = Panel()) panel->ReloadFromFiles();
}

void MacroPanelActions::OnNotify(const RoutedNotify& route, TNotifyUI& msg) {
  CMacroControlUI* panel = Panel();
  if (!panel) return;
  if (msg.type == notify::kClick) {
    OnClick(*panel, route.name);
  } else if (msg.type == notify::kItemSelect) {  // "macro_name_list"
    panel->OnMacroPicked();
  } else if (msg.type == notify::kKillFocus) {  // "macro_delay"
    TellIfNotSaved(panel->CommitDelay());
  } else if (msg.type == notify::kSelectChanged) {  // "macro_Op_tab": the page is shown
    const auto* tab = dynamic_cast<const COptionUI*>(msg.sender);
    if (tab && tab->IsSelected()) panel->RefreshMacroList();
  }
}

void MacroPanelActions::OnClick(CMacroControlUI& panel, const std::string& name) {
  if (const auto* move = std::ranges::find(kMoveButtons, name, &MoveButton::name); move != std::end(kMoveButtons)) {
    TellIfNotSaved(panel.MoveEvent(move->move));
  } else if (const auto* movement = std::ranges::find(kMovementButtons, name, &MovementButton::name);
             movement != std::end(kMovementButtons)) {
    TellIfNotSaved(panel.InsertMovement(movement->movement));
  } else if (name == "macro_btn_starredio") {
    StartRecording(panel, name);
  } else if (name == "macro_btn_stopredio") {
    StopRecording();
  } else if (name == "macro_btn_name_add") {
    Add(panel);
  } else if (name == "macro_btn_name_sub") {
    Delete(panel);
  } else if (name == "macro_btn_name_edit") {
    Rename(panel);
  } else if (name == "macro_btn_save") {
    TellIfNotSaved(panel.Save());
  } else if (name == "macro_btn_cancel") {
    panel.Reload();
  } else if (name == "macro_btn_import") {
    Import(panel);
  } else if (name == "macro_btn_export") {
    Export(panel);
  } else if (name == "macro_btn_delete") {
    TellIfNotSaved(panel.DeleteEvent());
  } else if (name == "macro_btn_deleteall") {
    TellIfNotSaved(panel.DeleteAllEvents());
  }
}

void MacroPanelActions::Add(CMacroControlUI& panel) {
  if (!panel.Folder() || !Ask("message_text_28")) return;
  // At the limit nothing happens, as the button says nothing of it either.
  if (panel.Folder()->Index().Count() >= kMacroLimit) return;
  const std::optional<std::size_t> added = panel.AddMacro(std::chrono::system_clock::now());
  if (!added) return Tell("macro_not_saved_text", true);
  if (CKeySetControlUI* keys = KeyPanel()) keys->AddMacro(panel.Folder()->Index().Name(*added));
}

void MacroPanelActions::Rename(CMacroControlUI& panel) {
  const std::optional<std::size_t> picked = panel.SelectedMacro();
  if (!picked) return;
  switch (panel.RenameMacro()) {
    case MacroRename::kRenamed: break;
    case MacroRename::kNameTaken: return Tell("message_text_5", true);
    case MacroRename::kNotWritten: return Tell("macro_not_saved_text", true);
    case MacroRename::kBlankName:
    case MacroRename::kNoSuchMacro: return;
  }
  if (CKeySetControlUI* keys = KeyPanel()) keys->RenameMacro(*picked, panel.Folder()->Index().Name(*picked));
  // Keys that play the macro show its name.
  if (auto* keyboard = dynamic_cast<CCorvaneKeyboardDevice*>(SelectedDevice())) keyboard->RefreshKeyMarks();
}

void MacroPanelActions::Delete(CMacroControlUI& panel) {
  const std::optional<std::size_t> picked = panel.SelectedMacro();
  if (!picked || !Ask("message_text_4")) return;
  // Keys of the profile in use that play it: both layers, since both are mended.
  const auto* keyboard = dynamic_cast<const CCorvaneKeyboardDevice*>(SelectedDevice());
  const bool in_use = keyboard && (PlaysMacro(keyboard->keys(), *picked) || PlaysMacro(keyboard->fn_keys(), *picked));
  if (in_use && !Ask("message_text_2")) return;
  if (!panel.RemoveMacro()) return Tell("macro_not_saved_text", true);
  if (CKeySetControlUI* keys = KeyPanel()) keys->RemoveMacro(*picked);
  MendKeyAssignments(panel, *picked);
  // The key panel shows the mended key, or a save from it would bring back the old macro number.
  window_.key_assignment().ShowSelectedDevice();
}

void MacroPanelActions::MendKeyAssignments(CMacroControlUI& panel, std::size_t removed) {
  CCorvaneUSBDevice* device = SelectedDevice();
  if (!device) return;
  const StoredProfilesRepair stored =
      RenumberMacroActionsInProfiles(panel.Folder()->Path(), removed, device->CurrentProfileFile());
  for (const std::string& name : stored.not_written) Trace("macros: profile not mended: " + name);
  if (!stored.not_written.empty()) Tell("macro_profiles_not_mended_text", true);
  auto* keyboard = dynamic_cast<CCorvaneKeyboardDevice*>(device);
  if (!keyboard) return;
  // An unsaved profile is told at once; only saved lists go on to the keyboard.
  keyboard->RepairKeysAfterMacroRemoval(removed, [this](const auto& repair) {
    if (!repair.saved) Tell("macro_profiles_not_mended_text", true);
  });
}

void MacroPanelActions::Import(CMacroControlUI& panel) {
  if (!panel.Folder() || panel.Folder()->Index().Count() >= kMacroLimit) return;
  const std::filesystem::path file = desktop_.ChooseFileToOpen(window_, kMacroFilter);
  if (file.empty()) return;
  const MacroImport imported = panel.ImportMacro(file, std::chrono::system_clock::now());
  if (!imported.index) {
    const std::string refused = window_.GetToolkit().Resources().Translate("macro_import_refused_text");
    return Tell(refused + "\n" + file.filename().string() + " " + imported.problem, false);
  }
  if (CKeySetControlUI* keys = KeyPanel()) keys->AddMacro(panel.Folder()->Index().Name(*imported.index));
}

void MacroPanelActions::Export(CMacroControlUI& panel) {
  if (!panel.SelectedMacro()) return;
  const std::filesystem::path file = desktop_.ChooseFileToSave(window_, kMacroFilter);
  if (!file.empty() && !panel.ExportMacro(file)) Tell("macro_export_failed_text", true);
}

void MacroPanelActions::StartRecording(CMacroControlUI& panel, std::string_view command) {
  const std::optional<CMacroControlUI::RecordingChoice> choice = panel.RecordingOf(command);
  if (!choice || !panel.StartRecording(*choice, CaptureClock::now())) return;
  LockDeviceChoice(true);
  capture_ = window_.input_capture();
  std::string reason = "no keyboard and mouse capture";
  const bool started = capture_ && capture_->Start(
                                       [this](const CapturedInput& input) {
                                         // Input that arrives while the system suspends is not the user's.
                                         if (!window_.hooks_enabled()) return;
                                         if (CMacroControlUI* shown = Panel()) shown->Record(input);
                                       },
                                       reason);
  if (started) return;
  // Nothing would ever arrive: the page is not left locked.
  StopRecording();
  Tell(window_.GetToolkit().Resources().Translate("macro_capture_failed_text") + "\n" + reason, false);
}

void MacroPanelActions::StopRecording() {
  CMacroControlUI* panel = Panel();
  if (capture_) capture_->Stop();
  capture_ = nullptr;
  if (!panel || !panel->recording()) return;
  const MacroEdit saved = panel->StopRecording();
  LockDeviceChoice(false);
  TellIfNotSaved(saved);
}

void MacroPanelActions::LockDeviceChoice(bool locked) {
  // The page stays too: the keys page's key field would take the capture over.
  for (std::string_view name : {"device_select_layout", "function_tab_bar"})
    if (CControlUI* control = window_.GetPaintManager().FindControl(name)) control->SetEnabled(!locked);
  if (CCorvaneUSBDevice* device = SelectedDevice())
    if (CDeviceProfileUI* profiles = device->profile_panel()) profiles->SetEnabled(!locked);
}

}  // namespace brontal
