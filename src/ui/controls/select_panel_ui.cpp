#include "ui/controls/select_panel_ui.h"

#include "ui/controls/device_key_button_ui.h"

namespace brontal {

void CSelectPanelUI::DoEvent(TEventUI& event) {
  CVerticalLayoutUI::DoEvent(event);
  switch (event.type) {
    case UiEventType::kButtonDown: Press(event.mouse); break;
    case UiEventType::kMouseMove: Move(event.mouse); break;
    case UiEventType::kButtonUp: Release(); break;
    default: break;
  }
}

void CSelectPanelUI::Press(Point at) {
  if (!IsReachable()) return;
  press_point_ = at;
  current_point_ = at;
  button_held_ = true;
}

void CSelectPanelUI::Move(Point to) {
  // The toolkit has no pointer capture: the view hands a pressed control the
  // moves until release, so moves without a held button are mere hovering.
  if (!button_held_) return;
  current_point_ = to;
  // A move that lands on the press point is no drag: a plain click must not
  // clear the selection.
  if (to != press_point_) dragging_ = true;
  if (dragging_) selection_ = Rect::FromCorners(press_point_, current_point_);
  Invalidate();
}

void CSelectPanelUI::Release() {
  button_held_ = false;
  if (!dragging_) return;
  dragging_ = false;
  current_point_ = press_point_;
  SelectKeysInRectangle();
  Invalidate();
  SendNotify(kSelectEndNotify);
}

void CSelectPanelUI::SelectKeysInRectangle() {
  for (int i = 0; i < GetCount(); ++i) {
    if (auto* key = dynamic_cast<CDeviceKeyButtonUI*>(GetItemAt(i))) {
      key->SetSelected(key->GetPos().Intersects(selection_));
    }
  }
}

}  // namespace brontal
