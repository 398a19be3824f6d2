#include "ui/controls/redio_macro_button_ui.h"

namespace brontal {

void CRedioMacroButtonUI::DoEvent(TEventUI& event) {
  if (on_pointer) {
    switch (event.type) {
      case UiEventType::kMouseEnter:
      case UiEventType::kMouseMove:
      case UiEventType::kButtonDown:
      case UiEventType::kButtonUp: on_pointer(event.mouse); break;
      case UiEventType::kMouseLeave: on_pointer(std::nullopt); break;
      default: break;
    }
  }
  CButtonUI::DoEvent(event);
}

}  // namespace brontal
