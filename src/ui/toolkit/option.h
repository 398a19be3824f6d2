#pragma once

#include "ui/toolkit/button.h"

namespace brontal {

// A button with a selected state. Options sharing a "group" within a window
// are exclusive: selecting one deselects the others silently, and the user
// cannot deselect the selected one. Without a group the user toggles it.
// "bindtablayoutname" and "bindtabindex" make selecting the option show that
// page of the named tab layout.
class COptionUI : public CButtonUI {
 public:
  std::string_view GetClass() const override { return "Option"; }

  bool IsSelected() const { return selected_; }
  // Programmatic change; "selectchanged" only when `notify` and the state changes.
  void Selected(bool selected, bool notify = true);
  const std::string& GetGroup() const { return group_; }
  void SetGroup(std::string group) { group_ = std::move(group); }

  // The user's click: the new state first, then "selectchanged" (when it
  // changed) and "click", so that every handler sees the new state.
  bool Activate() override;

  bool SetAttribute(std::string_view name, std::string_view value) override;

 private:
  void DeselectGroupMates();
  void ShowBoundTab();

  bool selected_ = false;
  std::string group_;
  std::string bound_tab_layout_;
  int bound_tab_index_ = 0;
};

class CCheckBoxUI : public COptionUI {
 public:
  std::string_view GetClass() const override { return "CheckBox"; }
};

}  // namespace brontal
