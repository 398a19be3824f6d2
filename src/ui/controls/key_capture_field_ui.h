#pragma once

#include <string_view>

#include "ui/toolkit/label.h"

namespace brontal {

// The key field of the key assignment panel: it shows the name of the key
// last captured and takes keys, not text, so a key pressed into it is never
// typed. Gaining the focus sends "setfocus", where key capture starts; losing
// it sends the paint manager's "killfocus", where it stops.
class CKeyCaptureFieldUI : public CLabelUI {
 public:
  static constexpr std::string_view kClassName = "KeyCaptureField";
  static constexpr std::string_view kSetFocusNotification = "setfocus";

  std::string_view GetClass() const override { return kClassName; }

 protected:
  void DoEvent(TEventUI& event) override;
};

}  // namespace brontal
