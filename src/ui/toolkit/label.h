#pragma once

#include "ui/toolkit/control.h"

namespace brontal {

// Text. In resource-text mode the text is a language identifier and GetText()
// gives its translation in the current language; this is also how a window
// translates an identifier for its own use, through a hidden label.
class CLabelUI : public CControlUI {
 public:
  std::string_view GetClass() const override { return "Label"; }

  std::string GetText() const override;
  bool IsResourceText() const { return resource_text_; }
  void SetResourceText(bool on);

  bool SetAttribute(std::string_view name, std::string_view value) override;

 private:
  bool resource_text_ = false;
};

}  // namespace brontal
