#pragma once

#include <string_view>

#include "ui/toolkit/container.h"

namespace brontal {

// The device picture: holds the key buttons and lets the user drag a rectangle
// across them. At the end of a drag every key button among the direct children
// is selected exactly when it overlaps the rectangle, and "click_select_end"
// is sent. The view draws the rectangle while IsDragging().
class CSelectPanelUI : public CVerticalLayoutUI {
 public:
  static constexpr std::string_view kClassName = "SelectPanel";
  static constexpr std::string_view kSelectEndNotify = "click_select_end";

  std::string_view GetClass() const override { return kClassName; }

  bool IsButtonHeld() const { return button_held_; }
  bool IsDragging() const { return dragging_; }
  Point GetPressPoint() const { return press_point_; }
  Point GetCurrentPoint() const { return current_point_; }
  // Normalised; the last drag's rectangle once the drag has ended.
  const Rect& GetSelectionRect() const { return selection_; }

 protected:
  void DoEvent(TEventUI& event) override;

 private:
  void Press(Point at);
  void Move(Point to);
  void Release();
  void SelectKeysInRectangle();

  Point press_point_;
  Point current_point_;
  bool button_held_ = false;
  bool dragging_ = false;
  Rect selection_;
};

}  // namespace brontal
