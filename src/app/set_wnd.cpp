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
  if (CControlUI* version = GetPaintManager().FindControl("software_ver_label"))
    version->SetText(TranslateThroughLabel(*this, "software_rev_text") + BRONTAL_VERSION);
}

void CSetWnd::Notify(TNotifyUI& msg) {
  if (!msg.sender) return;
  const std::string& name = msg.sender->GetName();
  if (msg.type == notify::kClick && name == "closebtn") {
    Close(0);
  } else if (msg.type == notify::kItemSelect && name == "Language_combox_info" && GetOwner()) {
    const int picked = dynamic_cast<const CComboUI&>(*msg.sender).GetCurSel();
    if (picked >= 0) GetOwner()->SendMessage(WindowMessage(kMsgLanguageChanged, static_cast<std::uintptr_t>(picked)));
  }
}

}  // namespace brontal
