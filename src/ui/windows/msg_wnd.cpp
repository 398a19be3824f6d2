#include "ui/windows/msg_wnd.h"

#include "support/debug_log.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/notify.h"

namespace brontal {

void CMsgWnd::Notify(TNotifyUI& msg) {
  if (msg.type != notify::kClick || !msg.sender) return;
  const std::string& name = msg.sender->GetName();
  if (name == "confirm_btn")
    Close(1);
  else if (name == "cancel_btn" || name == "closebtn")
    Close(0);
}

void CMsgWnd::SetContent(std::string_view title, std::string_view text, bool text_is_identifier, int button_mode) {
  CPaintManagerUI& controls = GetPaintManager();
  if (CControlUI* label = controls.FindControl("MessageTitle"); label && !title.empty())
    label->SetText(std::string(title));
  if (CControlUI* label = controls.FindControl("MessageText"); label && !text.empty()) {
    if (auto* text_label = dynamic_cast<CLabelUI*>(label); text_label && text_is_identifier)
      text_label->SetResourceText(true);
    label->SetText(std::string(text));
  }
  CControlUI* confirm = controls.FindControl("confirm_btn");
  CControlUI* cancel = controls.FindControl("cancel_btn");
  if (button_mode != kConfirmOnly && button_mode != kConfirmAndCancel) return;
  if (confirm) confirm->SetVisible(true);
  if (cancel) cancel->SetVisible(button_mode == kConfirmAndCancel);
}

int ShowMessage(WindowImplBase& owner, std::string_view title, std::string_view text, int scale,
                bool text_is_identifier, int button_mode) {
  CMsgWnd box(owner.GetToolkit());
  if (!box.Create(&owner, "MsgWnd")) {
    Trace("message box: " + box.GetCreateError());
    return 0;
  }
  box.SetContent(title, text, text_is_identifier, button_mode);
  if (!box.GetPaintManager().SetScale(scale)) Trace("MSG_WND DPI SET ERROR");
  box.CenterWindow();
  return box.ShowModal();
}

}  // namespace brontal
