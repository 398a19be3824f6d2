#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "ui/toolkit/window.h"

namespace brontal {

// The modal window with the program's version.
class CAboutWnd final : public WindowImplBase {
 public:
  using WindowImplBase::WindowImplBase;

  std::string_view GetWindowClassName() const override { return "AboutWnd"; }
  void Notify(TNotifyUI& msg) override;

  // Shows the translated "software_rev_text" followed by `version`.
  void SetVersionText(std::string_view version);

  // The home page button: the owner opens the page in the browser.
  std::function<void()> on_home_page;

 protected:
  std::string GetSkinFile() const override { return "XML/AboutWnd.xml"; }
};

}  // namespace brontal
