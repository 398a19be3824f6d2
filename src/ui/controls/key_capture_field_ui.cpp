#include "ui/controls/key_capture_field_ui.h"

namespace brontal {

void CKeyCaptureFieldUI::DoEvent(TEventUI& event) {
  CLabelUI::DoEvent(event);
  if (event.type == UiEventType::kSetFocus) SendNotify(kSetFocusNotification);
}

}  // namespace brontal
