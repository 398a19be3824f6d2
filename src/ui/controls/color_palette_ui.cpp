#include "ui/controls/color_palette_ui.h"

#include <algorithm>
#include <cmath>

namespace brontal {
namespace {

std::uint32_t Channel(double value) {
  return static_cast<std::uint32_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255));
}

double Fraction(int offset, int extent) {
  return extent > 1 ? std::clamp(static_cast<double>(offset) / (extent - 1), 0.0, 1.0) : 0.0;
}

}  // namespace

void CColorPaletteUI::SetSelectedColour(std::uint32_t argb) {
  colour_ = argb | 0xFF000000;
  Invalidate();
}

std::uint32_t CColorPaletteUI::ColourAt(Place place) {
  // Fully saturated HSL.
  const double hue = std::clamp(place.across, 0.0, 1.0) * 6;
  const double lightness = 1 - std::clamp(place.down, 0.0, 1.0);
  const double chroma = 1 - std::abs(2 * lightness - 1);
  const double second = chroma * (1 - std::abs(std::fmod(hue, 2.0) - 1));
  const double base = lightness - chroma / 2;
  double r = 0, g = 0, b = 0;
  switch (std::min(static_cast<int>(hue), 5)) {
    case 0: r = chroma, g = second; break;
    case 1: r = second, g = chroma; break;
    case 2: g = chroma, b = second; break;
    case 3: g = second, b = chroma; break;
    case 4: r = second, b = chroma; break;
    default: r = chroma, b = second; break;
  }
  return 0xFF000000 | Channel(r + base) << 16 | Channel(g + base) << 8 | Channel(b + base);
}

CColorPaletteUI::Place CColorPaletteUI::SelectedPlace() const {
  const double r = (colour_ >> 16 & 0xFF) / 255.0, g = (colour_ >> 8 & 0xFF) / 255.0, b = (colour_ & 0xFF) / 255.0;
  const double high = std::max({r, g, b}), low = std::min({r, g, b}), spread = high - low;
  double hue = 0;  // sixths of the circle
  if (spread > 0) {
    if (high == r)
      hue = std::fmod((g - b) / spread + 6, 6.0);
    else if (high == g)
      hue = (b - r) / spread + 2;
    else
      hue = (r - g) / spread + 4;
  }
  return {hue / 6, 1 - (high + low) / 2};
}

void CColorPaletteUI::DoEvent(TEventUI& event) {
  CControlUI::DoEvent(event);
  switch (event.type) {
    case UiEventType::kButtonDown:
      if (!IsReachable()) return;
      button_held_ = true;
      Pick(event.mouse);
      break;
    case UiEventType::kMouseMove:
      // The view hands a pressed control the moves until release.
      if (button_held_) Pick(event.mouse);
      break;
    case UiEventType::kButtonUp: button_held_ = false; break;
    default: break;
  }
}

void CColorPaletteUI::Pick(Point at) {
  const Rect& area = GetPos();
  const std::uint32_t picked =
      ColourAt({Fraction(at.x - area.left, area.Width()), Fraction(at.y - area.top, area.Height())});
  if (picked == colour_) return;
  SetSelectedColour(picked);
  SendNotify(kColourChangedNotify);
}

}  // namespace brontal
