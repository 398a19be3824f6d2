#include "app/profile_actions.h"

#include "app/desktop_services.h"
#include "app/main_window.h"
#include "devices/corvane_usb_device.h"
#include "devices/device_option_ui.h"
#include "support/debug_log.h"
#include "ui/controls/device_profile_ui.h"
#include "ui/toolkit/option.h"
#include "ui/windows/msg_wnd.h"

namespace brontal {
namespace {

constexpr char kProfileFilter[] = "Profile Files(*.json)";

}  // namespace

ProfileActions::ProfileActions(CMainWnd& window, DesktopServices& desktop) : window_(window), desktop_(desktop) {}

CDeviceProfileUI* ProfileActions::PanelFor(CControlUI* sender) const {
  for (CControlUI* control = sender; control; control = control->GetParent())
    if (auto* panel = dynamic_cast<CDeviceProfileUI*>(control)) return panel;
  const CDeviceOptionUI* entry = window_.roster().SelectedEntry();
  return entry && entry->device() ? entry->device()->profile_panel() : nullptr;
}

bool ProfileActions::Ask(std::string_view text_id) {
  return ShowMessage(window_, "", text_id, window_.GetPaintManager().GetScale(), true, CMsgWnd::kConfirmAndCancel) == 1;
}

void ProfileActions::OnClick(const RoutedNotify& route, TNotifyUI& msg) {
  if (msg.type != notify::kClick) return;
  CDeviceProfileUI* panel = PanelFor(msg.sender);
  if (!panel) {
    Trace("profiles: no profile selector for " + route.name);
    return;
  }
  const std::string& name = route.name;
  if (name == "device_add_btn") {
    if (Ask("message_text_27")) panel->AddProfile();
  } else if (name == "device_copy_btn") {
    if (Ask("message_text_26")) panel->CopyProfile();
  } else if (name == "device_sub_btn") {
    if (!Ask("message_text_29")) return;
    if (const int next = panel->DeleteProfile(); next >= 0) Select(*panel, next);
  } else if (name == "device_profile_edit_save_btn") {
    const CDeviceProfileUI::RenameResult result = panel->RenameProfile(panel->NameEditText());
    if (result == CDeviceProfileUI::RenameResult::kNameTaken) Ask("message_text_5");
    if (result == CDeviceProfileUI::RenameResult::kBlankName) Ask("message_text_25");
  } else if (name == "device_import_btn") {
    Import(*panel);
  } else if (name == "device_export_btn") {
    Export(*panel);
  } else if (name == "device_reset_btn" || name == "main_reset_btn") {
    Reset(*panel);
  } else if (name == "profile_fun_spread_btn") {
    panel->ShowProfileMenu(!panel->IsProfileMenuShown());
  }
}

void ProfileActions::ApplyPickedProfile() {
  CDeviceProfileUI* panel = PanelFor(nullptr);
  if (!panel) return;
  if (const int picked = panel->SelectedIndex(); picked >= 0) Select(*panel, picked);
}

void ProfileActions::Select(CDeviceProfileUI& panel, int index) {
  if (!panel.Select(index)) return;
  Apply(panel);
}

void ProfileActions::Apply(CDeviceProfileUI& panel) {
  for (CCorvaneUSBDevice* device : window_.roster().devices()) {
    if (device->profile_panel() != &panel) continue;
    device->ApplySelectedProfile([uuid = panel.SelectedUUID()](bool ok) {
      if (!ok) Trace("profile not applied to the device: " + uuid);
    });
  }
}

void ProfileActions::Import(CDeviceProfileUI& panel) {
  if (panel.SelectedIndex() < 0) return;
  const std::filesystem::path file = desktop_.ChooseFileToOpen(window_, kProfileFilter);
  // A file that is no profile is passed over without a notice.
  if (!file.empty() && !panel.ImportProfile(file)) Trace("profiles: not imported: " + file.string());
}

void ProfileActions::Export(CDeviceProfileUI& panel) {
  if (panel.SelectedIndex() < 0) return;
  const std::filesystem::path file = desktop_.ChooseFileToSave(window_, kProfileFilter);
  if (file.empty()) return;
  if (!panel.ExportProfile(file)) Trace("profiles: not exported: " + file.string());
}

void ProfileActions::Reset(CDeviceProfileUI& panel) {
  if (!Ask("message_text_22")) return;
  if (auto* fn_layer = dynamic_cast<COptionUI*>(window_.GetPaintManager().FindControl("key_set_FN_tier")))
    fn_layer->Selected(false, false);
  if (!panel.ResetProfiles()) {
    Trace("profiles: reset refused: no default profile");
    return;
  }
  Apply(panel);
}

}  // namespace brontal
