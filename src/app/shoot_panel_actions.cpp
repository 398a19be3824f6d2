#include "app/shoot_panel_actions.h"

#include <variant>

#include "app/desktop_services.h"
#include "app/main_window.h"
#include "devices/corvane_usb_device.h"
#include "devices/device_option_ui.h"
#include "macros/shoot_image.h"
#include "support/debug_log.h"
#include "ui/controls/shoot_control_ui.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/resource_manager.h"
#include "ui/toolkit/toolkit.h"
#include "ui/windows/msg_wnd.h"

namespace brontal {
namespace {

constexpr char kShootFilter[] = "Shoot Files(*.shoot)";

}  // namespace

ShootPanelActions::ShootPanelActions(CMainWnd& window, DesktopServices& desktop) : window_(window), desktop_(desktop) {}

CShootControlUI* ShootPanelActions::Panel() const {
  return dynamic_cast<CShootControlUI*>(window_.GetPaintManager().FindControl(CShootControlUI::kItemName));
}

void ShootPanelActions::Tell(const std::string& text, bool is_identifier) {
  Trace("shoot: " + text);
  ShowMessage(window_, "", text, window_.GetPaintManager().GetScale(), is_identifier, CMsgWnd::kConfirmOnly);
}

std::string ShootPanelActions::Formatted(std::string_view text_id, std::size_t number) const {
  std::string text = window_.GetToolkit().Resources().Translate(text_id);
  if (const std::size_t at = text.find("%d"); at != std::string::npos) text.replace(at, 2, std::to_string(number));
  return text;
}

void ShootPanelActions::ShowSelectedDevice() {
  CShootControlUI* panel = Panel();
  if (!panel) return;
  const CDeviceOptionUI* entry = window_.roster().SelectedEntry();
  const CCorvaneUSBDevice* device = entry ? entry->device() : nullptr;
  if (!device || device->family() != DeviceFamily::kMouse) return panel->ShowFiles(std::nullopt);
  panel->ShowFiles(ShootFiles(device->UserDataFolder(), CCorvaneUSBDevice::DefaultDataFolder()));
}

void ShootPanelActions::OnSelectedDeviceLeaving() {
  if (CShootControlUI* panel = Panel()) panel->ShowFiles(std::nullopt);
}

void ShootPanelActions::ReloadShot() {
  if (CShootControlUI* panel = Panel()) panel->ReloadShot();
}

void ShootPanelActions::OnNotify(const RoutedNotify& route, TNotifyUI& msg) {
  CShootControlUI* panel = Panel();
  if (!panel) return;
  if (msg.type == notify::kClick) {
    OnClick(*panel, route.name);
  } else if (msg.type == notify::kKillFocus) {  // the three edit fields
    if (!panel->StoreShot()) Tell("shoot_not_saved_text", true);
  } else if (msg.type == notify::kSelectChanged) {
    const auto* option = dynamic_cast<const COptionUI*>(msg.sender);
    if (route.name == "shoot_gun_op_" && option && option->IsSelected()) {
      panel->SelectGun(route.index);
    } else if (route.name == "bullet_op_" && option && option->IsSelected()) {
      panel->SelectShot(route.index);
    } else if (route.name == "bullet_x_check" || route.name == "bullet_y_check") {
      panel->RelabelChecks();
    }
  }
}

void ShootPanelActions::OnClick(CShootControlUI& panel, const std::string& name) {
  if (name == "bullet_selected_prev") {
    panel.StepShot(-1);
  } else if (name == "bullet_selected_next") {
    panel.StepShot(1);
  } else if (name == "shootdate_reset_btn") {
    if (!panel.ResetGun()) Tell("shoot_reset_failed_text", true);
  } else if (name == "shootdate_import_btn") {
    Import(panel);
  } else if (name == "shootdate_export_btn") {
    Export(panel);
  } else if (name == "shootdate_save_btn") {
    Send(panel);
  }
}

void ShootPanelActions::Import(CShootControlUI& panel) {
  if (!panel.Files()) return;
  const std::filesystem::path file = desktop_.ChooseFileToOpen(window_, kShootFilter);
  if (file.empty()) return;
  const std::size_t memory = (memory_bytes ? memory_bytes() : std::nullopt).value_or(kLargestShootImage);
  const ShootImport imported = panel.Import(file, memory);
  if (!imported.imported) {
    const std::string refused = window_.GetToolkit().Resources().Translate("shoot_import_refused_text");
    return Tell(refused + "\n" + file.filename().string() + " " + imported.problem, false);
  }
  if (imported.left_out > 0) Tell(Formatted("shoot_import_shortened_text", LargestShootPattern(memory)), false);
}

void ShootPanelActions::Export(CShootControlUI& panel) {
  if (!panel.Files()) return;
  const std::filesystem::path file = desktop_.ChooseFileToSave(window_, kShootFilter);
  if (!file.empty() && !panel.Export(file)) Tell("shoot_export_failed_text", true);
}

void ShootPanelActions::Send(CShootControlUI& panel) {
  if (!panel.Files()) return;
  const ShootPatterns patterns = panel.Files()->Patterns();
  // Hand-edited files may hold more than the image's 16-bit length can say.
  const ShootImageBuild image = BuildShootImage(patterns);
  if (const auto* refused = std::get_if<MacroImageTooLarge>(&image))
    return Tell(Formatted("shoot_too_large_text", refused->ExcessEvents()), false);
  if (!send_patterns) return window_.NotBuilt("shoot panel", "send to the mouse");
  send_patterns(patterns);
}

}  // namespace brontal
