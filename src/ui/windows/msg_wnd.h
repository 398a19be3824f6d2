#pragma once

#include <string>
#include <string_view>

#include "ui/toolkit/window.h"

namespace brontal {

// The program's one modal question and notice box.
class CMsgWnd final : public WindowImplBase {
 public:
  // Button modes: confirm alone, or confirm and cancel; any other mode keeps
  // the layout's buttons as they are.
  static constexpr int kConfirmOnly = 0;
  static constexpr int kConfirmAndCancel = 1;

  using WindowImplBase::WindowImplBase;

  std::string_view GetWindowClassName() const override { return "MsgWnd"; }
  void Notify(TNotifyUI& msg) override;

  // Fills the box before it runs; an empty title or text keeps the layout's.
  void SetContent(std::string_view title, std::string_view text, bool text_is_identifier, int button_mode);

 protected:
  std::string GetSkinFile() const override { return "XML_MSG"; }
};

// Asks through a CMsgWnd owned by `owner`, scaled by `scale` percent. 1 when
// the user confirmed; 0 when cancelled or closed, and when the box could not
// be built (so that no caller goes ahead unasked).
int ShowMessage(WindowImplBase& owner, std::string_view title, std::string_view text, int scale,
                bool text_is_identifier, int button_mode);

}  // namespace brontal
