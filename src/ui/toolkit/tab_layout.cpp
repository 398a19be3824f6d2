#include "ui/toolkit/tab_layout.h"

#include <algorithm>

#include "ui/toolkit/attribute_values.h"

namespace brontal {

bool CTabLayoutUI::SelectItem(int index) {
  if (index < 0 || index >= GetCount()) return false;
  if (index != current_) {
    current_ = index;
    Invalidate();
  }
  return true;
}

bool CTabLayoutUI::ShowsChild(const CControlUI& child) const { return GetItemIndex(&child) == current_; }

CControlUI* CTabLayoutUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
  CControlUI* added = CContainerUI::AddAt(std::move(control), index);
  if (!added) return nullptr;
  const int pages_before = GetCount() - 1;
  if (current_ < 0) {
    MovePage(0);
  } else if (current_ < pages_before && index <= current_) {
    MovePage(current_ + 1);  // the same page stays current; a choice beyond the pages waits for them
  }
  return added;
}

bool CTabLayoutUI::RemoveAt(int index) {
  if (!CContainerUI::RemoveAt(index)) return false;
  // The page after a removed current page takes its place; the last page when
  // the current one was last.
  if (index < current_ || current_ >= GetCount()) MovePage(current_ - 1);
  return true;
}

void CTabLayoutUI::RemoveAll() {
  CContainerUI::RemoveAll();
  MovePage(-1);
}

void CTabLayoutUI::MovePage(int index) {
  if (index == current_) return;
  current_ = index;
  // The view heard of the new pages before the current one followed them.
  Invalidate();
}

bool CTabLayoutUI::SetAttribute(std::string_view name, std::string_view value) {
  if (name != "selectedid") return CContainerUI::SetAttribute(name, value);
  // Layouts set this before the pages exist.
  const auto index = ParseIntAttribute(value);
  if (!index || *index < 0) return false;
  current_ = *index;
  return true;
}

}  // namespace brontal
