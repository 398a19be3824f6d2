#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "ui/toolkit/control.h"

namespace brontal {

// A control that owns child controls, in order. Removing a child destroys it.
class CContainerUI : public CControlUI {
 public:
  ~CContainerUI() override;

  std::string_view GetClass() const override { return "Container"; }

  int GetCount() const { return static_cast<int>(children_.size()); }
  // nullptr when the index is out of range.
  CControlUI* GetItemAt(int index) const;
  // -1 when `control` is not a child.
  int GetItemIndex(const CControlUI* control) const;

  // Return the added control, or nullptr (and drop it) when the index is out of range.
  CControlUI* Add(std::unique_ptr<CControlUI> control) { return AddAt(std::move(control), GetCount()); }
  virtual CControlUI* AddAt(std::unique_ptr<CControlUI> control, int index);
  bool Remove(const CControlUI* control) { return RemoveAt(GetItemIndex(control)); }
  virtual bool RemoveAt(int index);
  virtual void RemoveAll();

  // False for a child that the container keeps out of view (another tab's page).
  virtual bool ShowsChild(const CControlUI&) const { return true; }

  void SetManager(CPaintManagerUI* manager, CContainerUI* parent) override;

 protected:
  // Appends them all with one report of the change, where AddAt would make
  // one per control (a view rebuilding its rows each time). Bypasses AddAt:
  // for kinds whose AddAt keeps nothing of its own up to date on an append.
  void AppendChildren(std::vector<std::unique_ptr<CControlUI>> controls);

 private:
  void ChildrenChanged();

  std::vector<std::unique_ptr<CControlUI>> children_;
};

// The first control at or below `root`, depth first in child order, for which
// `match` is true; nullptr when there is none.
CControlUI* FindControlIf(CControlUI& root, const std::function<bool(CControlUI&)>& match);

class CHorizontalLayoutUI : public CContainerUI {
 public:
  std::string_view GetClass() const override { return "HorizontalLayout"; }
};

class CVerticalLayoutUI : public CContainerUI {
 public:
  std::string_view GetClass() const override { return "VerticalLayout"; }
};

}  // namespace brontal
