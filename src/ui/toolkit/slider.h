#pragma once

#include "ui/toolkit/control.h"

namespace brontal {

// A value within [minimum, maximum]. Programmatic changes are silent; a user's
// drag sends "movevaluechanged" for each new value and the release always
// sends "valuechanged", so that a drag ending where it began still commits
// what the live updates changed.
class CSliderUI : public CControlUI {
 public:
  std::string_view GetClass() const override { return "Slider"; }

  int GetValue() const { return value_; }
  int GetMinValue() const { return min_; }
  int GetMaxValue() const { return max_; }
  // Values are clamped into the range; a minimum above the maximum raises the
  // maximum with it, and the other way round.
  void SetValue(int value);
  void SetMinValue(int minimum);
  void SetMaxValue(int maximum);

  // The user's drag and release; false when the slider cannot take input.
  bool UserDrag(int value);
  bool UserRelease(int value);

  bool SetAttribute(std::string_view name, std::string_view value) override;

 private:
  int min_ = 0;
  int max_ = 100;
  int value_ = 0;
};

}  // namespace brontal
