#include "ui/windows/about_wnd.h"

#include "ui/toolkit/notify.h"
#include "ui/windows/hidden_label_translation.h"

namespace brontal {

void CAboutWnd::Notify(TNotifyUI& msg) {
  if (msg.type == notify::kClick && msg.sender && msg.sender->GetName() == "closebtn") Close(0);
}

void CAboutWnd::SetVersionText(std::string_view version) { ShowSoftwareVersion(*this, version); }

}  // namespace brontal
