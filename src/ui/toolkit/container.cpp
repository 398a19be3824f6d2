#include "ui/toolkit/container.h"

#include <algorithm>
#include <utility>

#include "ui/toolkit/paint_manager.h"

namespace brontal {

CContainerUI::~CContainerUI() {
  // Children go first, while they can still reach their parent and manager.
  auto removed = std::move(children_);
  children_.clear();
  removed.clear();
}

CControlUI* CContainerUI::GetItemAt(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return children_[static_cast<std::size_t>(index)].get();
}

int CContainerUI::GetItemIndex(const CControlUI* control) const {
  const auto it =
      std::find_if(children_.begin(), children_.end(), [control](const auto& c) { return c.get() == control; });
  return it == children_.end() ? -1 : static_cast<int>(it - children_.begin());
}

CControlUI* CContainerUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
  if (!control || index < 0 || index > GetCount()) return nullptr;
  CControlUI* added = control.get();
  children_.insert(children_.begin() + index, std::move(control));
  added->SetManager(GetManager(), this);
  ChildrenChanged();
  return added;
}

void CContainerUI::AppendChildren(std::vector<std::unique_ptr<CControlUI>> controls) {
  std::erase(controls, nullptr);
  if (controls.empty()) return;
  for (auto& control : controls) {
    control->SetManager(GetManager(), this);
    children_.push_back(std::move(control));
  }
  ChildrenChanged();
}

bool CContainerUI::RemoveAt(int index) {
  if (index < 0 || index >= GetCount()) return false;
  std::unique_ptr<CControlUI> removed = std::move(children_[static_cast<std::size_t>(index)]);
  children_.erase(children_.begin() + index);
  removed.reset();
  ChildrenChanged();
  return true;
}

void CContainerUI::RemoveAll() {
  if (children_.empty()) return;
  // Destroyed from a moved-out list so that a child's destruction never sees a
  // half-cleared vector.
  auto removed = std::move(children_);
  children_.clear();
  removed.clear();
  ChildrenChanged();
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CContainerUI* parent) {
  CControlUI::SetManager(manager, parent);
  for (const auto& child : children_) child->SetManager(manager, this);
}

void CContainerUI::ChildrenChanged() {
  if (GetManager()) GetManager()->ChildrenChanged(*this);
}

CControlUI* FindControlIf(CControlUI& root, const std::function<bool(CControlUI&)>& match) {
  if (match(root)) return &root;
  const auto* container = dynamic_cast<const CContainerUI*>(&root);
  if (!container) return nullptr;
  for (int i = 0; i < container->GetCount(); ++i) {
    if (CControlUI* found = FindControlIf(*container->GetItemAt(i), match)) return found;
  }
  return nullptr;
}

}  // namespace brontal
