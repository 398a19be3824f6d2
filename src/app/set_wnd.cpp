#include "app/set_wnd.h"

#include "app/autostart_entry.h"
#include "profiles/language_settings.h"
#include "sdk_server/sdk_server_setting.h"
#include "support/debug_log.h"
#include "support/user_folders.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/window_messages.h"
#include "ui/windows/hidden_label_translation.h"

namespace brontal {

CSetWnd::CSetWnd(Toolkit& toolkit, int language_index) : WindowImplBase(toolkit), language_index_(language_index) {}

void CSetWnd::InitWindow() {
  if (auto* languages = dynamic_cast<CComboUI*>(GetPaintManager().FindControl("Language_combox_info"))) {
    for (const LanguageEntry& language : ReadLanguageList()) languages->AddTextItem(language.name);
    languages->SelectItem(language_index_, false);
  }
  ShowAutostart();
  ShowSdkServerSwitch();
  ShowSoftwareVersion(*this, BRONTAL_VERSION);
  update_page_ = std::make_unique<UpdatePage>(*this, std::move(update_items_), desktop_);
  update_page_->Start();
}

void CSetWnd::SetUpdateItems(std::vector<UpdateItem> items, DesktopServices* desktop) {
  update_items_ = std::move(items);
  desktop_ = desktop;
}

void CSetWnd::OnFinalMessage() {
  if (update_page_) update_page_->Stop();
}

void CSetWnd::ShowAutostart() {
  if (auto* box = dynamic_cast<COptionUI*>(GetPaintManager().FindControl("autostart_checkbox")))
    box->Selected(autostart_entry::Enabled(), false);
}

void CSetWnd::SwitchAutostart(bool on) {
  std::string error;
  const bool done =
      on ? autostart_entry::Write(ProgramFolder() / "brontal-driver", error) : autostart_entry::Remove(error);
  if (!done) Trace("autostart: " + error);
  // What the session will do, whatever the switch was turned to.
  ShowAutostart();
}

void CSetWnd::ShowSdkServerSwitch() {
  if (auto* box = dynamic_cast<COptionUI*>(GetPaintManager().FindControl("sdk_server_checkbox")))
    box->Selected(sdk::ReadSdkServerSwitch(), false);
}

void CSetWnd::Notify(TNotifyUI& msg) {
  if (!msg.sender) return;
  if (update_page_ && update_page_->OnNotify(msg)) return;
  const std::string& name = msg.sender->GetName();
  if (msg.type == notify::kClick && name == "closebtn") {
    Close(0);
  } else if (msg.type == notify::kClick && name == "sdk_server_checkbox") {
    const auto* box = dynamic_cast<const COptionUI*>(msg.sender);
    if (!box) return;
    if (!sdk::WriteSdkServerSwitch(box->IsSelected())) Trace("sdk server: the switch could not be stored");
    if (switch_sdk_server && !switch_sdk_server(box->IsSelected())) Trace("sdk server: it did not follow the switch");
    ShowSdkServerSwitch();
  } else if (msg.type == notify::kClick && name == "autostart_checkbox") {
    if (const auto* box = dynamic_cast<const COptionUI*>(msg.sender)) SwitchAutostart(box->IsSelected());
  } else if (msg.type == notify::kItemSelect && name == "Language_combox_info" && GetOwner()) {
    const auto* languages = dynamic_cast<const CComboUI*>(msg.sender);
    const int picked = languages ? languages->GetCurSel() : -1;
    if (picked < 0) return;
    GetOwner()->SendMessage(WindowMessage(kMsgLanguageChanged, static_cast<std::uintptr_t>(picked)));
    // The version line is no resource text: it is made again in the new language.
    ShowSoftwareVersion(*this, BRONTAL_VERSION);
  }
}

}  // namespace brontal
