#include "ui/toolkit/edit.h"

#include "ui/toolkit/notify.h"

namespace brontal {

bool CEditUI::UserEditText(std::string text) {
  if (!IsReachable()) return false;
  if (text == CControlUI::GetText()) return true;
  SetText(std::move(text));
  SendNotify(notify::kTextChanged);
  return true;
}

}  // namespace brontal
