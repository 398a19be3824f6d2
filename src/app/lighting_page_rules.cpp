#include "app/lighting_page_rules.h"

#include <charconv>

namespace brontal {

SliderLevel LevelFromSlider(int value) {
  struct Band {
    int high;
    std::uint8_t level;
    int snapped;
  };
  constexpr Band kBands[] = {{5, 0, 0}, {15, 1, 10}, {25, 2, 20}, {35, 3, 30}, {kLevelSliderMax, 4, kLevelSliderMax}};
  for (const Band& band : kBands)
    if (value <= band.high) return {band.level, band.snapped};
  return {std::nullopt, 0};
}

int SliderPositionOf(std::uint8_t level) { return level >= 4 ? kLevelSliderMax : 10 * level; }

EditedComponent ComponentFromEdit(std::string_view text) {
  unsigned long number = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
  const bool whole = ec == std::errc{} && end == text.data() + text.size();
  const bool too_large = ec == std::errc::result_out_of_range || (whole && number > 255);
  EditedComponent edited;
  edited.value = too_large ? 255 : whole ? static_cast<std::uint8_t>(number) : 0;
  const std::string shown = std::to_string(edited.value);
  if (text != shown) edited.rewrite = shown;
  return edited;
}

std::uint8_t ModeToRestore(std::uint8_t current_mode) {
  return current_mode == 0 || current_mode > 20 ? 1 : current_mode;
}

}  // namespace brontal
