#include "ui/toolkit/button.h"

#include "ui/toolkit/notify.h"

namespace brontal {

bool CButtonUI::Activate() {
  if (!CLabelUI::Activate()) return false;
  SendNotify(notify::kClick);
  return true;
}

void CButtonUI::DoEvent(TEventUI& event) {
  switch (event.type) {
    case UiEventType::kButtonDown:
    case UiEventType::kDblClick:  // the second press of a double click is a click too
      if (!IsReachable()) return;
      pushed_ = true;
      Invalidate();
      return;
    case UiEventType::kButtonUp: {
      if (!pushed_) return;
      pushed_ = false;
      Invalidate();
      // Releasing outside the button cancels the click.
      if (GetPos().Contains(event.mouse)) Activate();
      return;
    }
    default:
      CLabelUI::DoEvent(event);
  }
}

}  // namespace brontal
