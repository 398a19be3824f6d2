#pragma once

#include "ui/toolkit/container.h"

namespace brontal {

// Pages of which one is shown: the current one (the first by default).
// Switching pages sends nothing; the options bound to the layout notify.
class CTabLayoutUI : public CContainerUI {
 public:
  std::string_view GetClass() const override { return "TabLayout"; }

  int GetCurSel() const { return current_; }
  // False, with nothing changed, for an index out of range.
  bool SelectItem(int index);

  bool ShowsChild(const CControlUI& child) const override;
  CControlUI* AddAt(std::unique_ptr<CControlUI> control, int index) override;
  bool RemoveAt(int index) override;
  void RemoveAll() override;
  bool SetAttribute(std::string_view name, std::string_view value) override;

 private:
  void MovePage(int index);

  int current_ = -1;
};

}  // namespace brontal
