#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The lighting page's small rules: how a slider position becomes a level,
// how a colour edit's text becomes a byte, which mode a game event remembers.
namespace brontal {

// The brightness and speed sliders run 0..kLevelSliderMax and snap to the
// positions of the five levels.
inline constexpr int kLevelSliderMax = 39;

struct SliderLevel {
  std::optional<std::uint8_t> level;  // none: the level stays as it was
  int snapped = 0;                    // where the slider is put
};
SliderLevel LevelFromSlider(int value);

// Where a slider shows a level: the position LevelFromSlider snaps it to.
int SliderPositionOf(std::uint8_t level);

struct EditedComponent {
  std::uint8_t value = 0;
  std::optional<std::string> rewrite;  // the edit's new text, when it must change
};
// Decimal text; empty or not a number reads 0, above 255 reads 255, and the
// edit then shows what was taken.
EditedComponent ComponentFromEdit(std::string_view text);

// The mode a game event returns to: the current one, unless the current one
// is off-list for the restore (0, or above 20), which returns to mode 1.
std::uint8_t ModeToRestore(std::uint8_t current_mode);

// 0xFFRRGGBB.
inline std::uint32_t OpaqueColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return 0xFF000000u | (std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | blue;
}

}  // namespace brontal
