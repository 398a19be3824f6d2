#include "app/set_wnd.h"

#include "profiles/language_settings.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/window_messages.h"
#include "ui/windows/hidden_label_translation.h"

namespace brontal {

CSetWnd::CSetWnd(Toolkit& toolkit, int language_index) : WindowImplBase(toolkit), language_index_(language_index) {}

void CSetWnd::InitWindow() {
  if (auto* languages = dynamic_cast<CComboUI*>(GetPaintManager().FindControl("Language_combox_info"))) {
    for (const LanguageEntry& language : ReadLanguageList()) languages->AddTextItem(language.name);
    languages->SelectItem(language_index_, false);
  }
  ShowSoftwareVersion(*this, BRONTAL_VERSION);
}

void CSetWnd::Notify(TNotifyUI& msg) {
  if (!msg.sender) return;
  const std::string& name = msg.sender->GetName();
  if (msg.type == notify::kClick && name == "closebtn") {
    Close(0);
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
