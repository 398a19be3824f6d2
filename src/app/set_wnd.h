#pragma once

#include <string>
#include <string_view>

#include "ui/toolkit/window.h"

namespace brontal {

// The settings window: the language of the program and its version. Picking
// a language asks the main window (its owner) to switch, which reloads every
// resource text, this window's too.
class CSetWnd final : public WindowImplBase {
 public:
  // `language_index`: the entry of the language list in use.
  CSetWnd(Toolkit& toolkit, int language_index);

  std::string_view GetWindowClassName() const override { return "SetWnd"; }
  void Notify(TNotifyUI& msg) override;

 protected:
  std::string GetSkinFile() const override { return "XML/SetWnd.xml"; }
  void InitWindow() override;

 private:
  int language_index_;
};

}  // namespace brontal
