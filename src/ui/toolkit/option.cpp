#include "ui/toolkit/option.h"

#include "ui/toolkit/attribute_values.h"
#include "ui/toolkit/container.h"
#include "ui/toolkit/notify.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/tab_layout.h"

namespace brontal {

void COptionUI::Selected(bool selected, bool notify) {
  if (selected == selected_) return;
  selected_ = selected;
  Invalidate();
  if (selected_) {
    DeselectGroupMates();
    ShowBoundTab();
  }
  if (notify) SendNotify(notify::kSelectChanged);
}

void COptionUI::DeselectGroupMates() {
  if (group_.empty() || !GetManager() || !GetManager()->GetRoot()) return;
  FindControlIf(*GetManager()->GetRoot(), [this](CControlUI& control) {
    auto* option = dynamic_cast<COptionUI*>(&control);
    if (option && option != this && option->selected_ && option->group_ == group_) {
      option->selected_ = false;
      option->Invalidate();
    }
    return false;
  });
}

void COptionUI::ShowBoundTab() {
  if (bound_tab_layout_.empty() || !GetManager()) return;
  if (auto* tab = dynamic_cast<CTabLayoutUI*>(GetManager()->FindControl(bound_tab_layout_))) {
    tab->SelectItem(bound_tab_index_);
  }
}

bool COptionUI::Activate() {
  if (!IsReachable()) return false;
  const auto alive = LifeToken();
  if (group_.empty() || !selected_) Selected(!selected_, true);
  if (alive.expired()) return true;
  SendNotify(notify::kClick);
  return true;
}

bool COptionUI::SetAttribute(std::string_view name, std::string_view value) {
  if (name == "group") {
    group_ = value;
  } else if (name == "selected") {
    const auto on = ParseBoolAttribute(value);
    if (!on) return false;
    Selected(*on, false);
  } else if (name == "bindtablayoutname") {
    bound_tab_layout_ = value;
  } else if (name == "bindtabindex") {
    const auto index = ParseIntAttribute(value);
    if (!index || *index < 0) return false;
    bound_tab_index_ = *index;
  } else {
    return CButtonUI::SetAttribute(name, value);
  }
  return true;
}

}  // namespace brontal
