#pragma once

#include "ui/toolkit/label.h"

namespace brontal {

// A push button. Its status images ("normalimage", "hotimage", "pushedimage",
// "disabledimage") are style attributes. A press and release inside the button
// (or Activate) sends "click".
class CButtonUI : public CLabelUI {
 public:
  std::string_view GetClass() const override { return "Button"; }

  bool IsPushed() const { return pushed_; }
  const std::string& GetNormalImage() const { return GetAttribute("normalimage"); }
  void SetNormalImage(std::string image) { SetStyleAttribute("normalimage", std::move(image)); }

  bool Activate() override;

 protected:
  void DoEvent(TEventUI& event) override;

 private:
  bool pushed_ = false;
};

}  // namespace brontal
