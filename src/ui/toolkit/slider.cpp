#include "ui/toolkit/slider.h"

#include <algorithm>

#include "ui/toolkit/attribute_values.h"
#include "ui/toolkit/notify.h"

namespace brontal {

void CSliderUI::SetValue(int value) {
  value = std::clamp(value, min_, max_);
  if (value == value_) return;
  value_ = value;
  Invalidate();
}

void CSliderUI::SetMinValue(int minimum) {
  min_ = minimum;
  max_ = std::max(max_, min_);
  value_ = std::clamp(value_, min_, max_);
  Invalidate();
}

void CSliderUI::SetMaxValue(int maximum) {
  max_ = maximum;
  min_ = std::min(min_, max_);
  value_ = std::clamp(value_, min_, max_);
  Invalidate();
}

bool CSliderUI::UserDrag(int value) {
  if (!IsReachable()) return false;
  const int before = value_;
  SetValue(value);
  if (value_ != before) SendNotify(notify::kMoveValueChanged);
  return true;
}

bool CSliderUI::UserRelease(int value) {
  if (!IsReachable()) return false;
  SetValue(value);
  SendNotify(notify::kValueChanged);
  return true;
}

bool CSliderUI::SetAttribute(std::string_view name, std::string_view value) {
  if (name != "min" && name != "max" && name != "value") return CControlUI::SetAttribute(name, value);
  const auto number = ParseIntAttribute(value);
  if (!number) return false;
  if (name == "min") {
    SetMinValue(*number);
  } else if (name == "max") {
    SetMaxValue(*number);
  } else {
    SetValue(*number);
  }
  return true;
}

}  // namespace brontal
