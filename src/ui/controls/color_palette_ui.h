#pragma once

#include <cstdint>
#include <string_view>

#include "ui/toolkit/control.h"

namespace brontal {

// A continuous colour field: hue runs across (red at both edges), lightness
// runs down from white through the pure hue at mid-height to black. A user's
// press or drag picks the colour under the pointer and sends "colorchanged"
// when it differs from the held one; SetSelectedColour is silent.
class CColorPaletteUI : public CControlUI {
 public:
  static constexpr std::string_view kClassName = "ColorPalette";
  static constexpr std::string_view kColourChangedNotify = "colorchanged";

  // A place in the field as fractions of its width and height, 0..1.
  struct Place {
    double across = 0;
    double down = 0;
  };

  std::string_view GetClass() const override { return kClassName; }

  std::uint32_t GetSelectedColour() const { return colour_; }  // 0xFFRRGGBB
  void SetSelectedColour(std::uint32_t argb);

  static std::uint32_t ColourAt(Place place);
  // Where the held colour lies in the field; colours the field lacks (greys
  // other than white and black, paler or duller ones) map to the place of the
  // same hue and lightness.
  Place SelectedPlace() const;

 protected:
  void DoEvent(TEventUI& event) override;

 private:
  void Pick(Point at);

  std::uint32_t colour_ = 0xFFFFFFFF;
  bool button_held_ = false;
};

}  // namespace brontal
