#include "ui/toolkit/list_owner.h"

#include "ui/toolkit/label.h"
#include "ui/toolkit/notify.h"

namespace brontal {

bool CListOwnerUI::SelectItem(int index, bool notify) {
  if (index < -1 || index >= GetCount()) return false;
  if (index == current_) return true;
  const int previous = current_;
  current_ = index;
  Invalidate();
  if (notify) SendNotify(notify::kItemSelect, static_cast<std::uintptr_t>(index), previous);
  return true;
}

bool CListOwnerUI::UserSelectItem(int index) {
  const CControlUI* item = GetItemAt(index);
  if (!item || !item->IsReachable()) return false;
  return SelectItem(index, true);
}

CControlUI* CListOwnerUI::AddTextItem(std::string text, std::string user_data) {
  auto item = std::make_unique<CLabelUI>();
  item->SetText(std::move(text));
  item->SetUserData(std::move(user_data));
  return Add(std::move(item));
}

CControlUI* CListOwnerUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
  CControlUI* added = CContainerUI::AddAt(std::move(control), index);
  if (added && current_ >= index) MoveSelection(current_ + 1);  // the same item stays selected
  return added;
}

bool CListOwnerUI::RemoveAt(int index) {
  if (!CContainerUI::RemoveAt(index)) return false;
  if (index == current_) {
    MoveSelection(-1);
  } else if (index < current_) {
    MoveSelection(current_ - 1);
  }
  return true;
}

void CListOwnerUI::RemoveAll() {
  CContainerUI::RemoveAll();
  MoveSelection(-1);
}

void CListOwnerUI::MoveSelection(int index) {
  if (index == current_) return;
  current_ = index;
  // The view heard of the new children before the selection followed them.
  Invalidate();
}

bool CListUI::UserClickItem(int index) {
  CControlUI* row = GetItemAt(index);
  if (!row) return false;
  // A handler of the selection may remove the row.
  const auto row_alive = row->LifeToken();
  if (!UserSelectItem(index)) return false;
  if (!row_alive.expired()) row->SendNotify(notify::kItemClick, static_cast<std::uintptr_t>(index));
  return true;
}

}  // namespace brontal
