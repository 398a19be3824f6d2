#pragma once

#include "ui/toolkit/container.h"

namespace brontal {

// A container whose children are items of which one may be the current one
// (-1: none): the base of combo boxes and lists. Items are controls, usually
// labels (text, tool tip, user data, visibility per item, fixed height).
class CListOwnerUI : public CContainerUI {
 public:
  int GetCurSel() const { return current_; }
  // -1 clears the selection; false, with nothing changed, for an index out of
  // range. "itemselect" (wparam new index, lparam old index) only when
  // `notify` and the selection changes.
  bool SelectItem(int index, bool notify = true);
  // The user's pick; false when the owner or the item cannot take input.
  bool UserSelectItem(int index);

  // Appends a label item.
  CControlUI* AddTextItem(std::string text, std::string user_data = {});
  // Appends the items at once: a view rebuilds its rows once, not per item.
  void AddItems(std::vector<std::unique_ptr<CControlUI>> items) { AppendChildren(std::move(items)); }

  CControlUI* AddAt(std::unique_ptr<CControlUI> control, int index) override;
  bool RemoveAt(int index) override;
  void RemoveAll() override;

 private:
  // Silently: the items moved, not the user's choice.
  void MoveSelection(int index);

  int current_ = -1;
};

class CComboUI : public CListOwnerUI {
 public:
  std::string_view GetClass() const override { return "Combo"; }
};

// A list's click on a row selects it and then sends "itemclick" from the row.
class CListUI : public CListOwnerUI {
 public:
  std::string_view GetClass() const override { return "List"; }
  bool UserClickItem(int index);
};

}  // namespace brontal
