#include "ui/windows/about_wnd.h"

#include "ui/toolkit/notify.h"
#include "ui/windows/hidden_label_translation.h"

namespace brontal {

void CAboutWnd::Notify(TNotifyUI& msg) {
  if (msg.type != notify::kClick || !msg.sender) return;
  if (msg.sender->GetName() == "closebtn") Close(0);
  if (msg.sender->GetName() == "homepage_btn" && on_home_page) on_home_page();
}

void CAboutWnd::SetVersionText(std::string_view version) { ShowSoftwareVersion(*this, version); }

}  // namespace brontal
