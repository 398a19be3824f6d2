#pragma once

#include <cstddef>
#include <cstdint>
#include <variant>
#include <vector>

#include "macros/macro_image.h"
#include "macros/shoot_pattern.h"

// The image the mouse plays its recoil patterns from: the macro image's
// layout with one record per gun, gun 0 first.
namespace brontal {

// The image's length and its records' offsets travel in 16 bits.
inline constexpr std::size_t kLargestShootImage = 0xFFFF;

using ShootImageBuild = std::variant<std::vector<std::uint8_t>, MacroImageTooLarge>;

// The image of the four patterns, or a refusal when it would pass
// kLargestShootImage (its length and offsets would wrap).
ShootImageBuild BuildShootImage(const ShootPatterns& patterns);

// The most events each gun may have so that four patterns of that length fit
// in `memory_bytes` (and in kLargestShootImage): whole shots only, so that a
// pattern cut to fit never ends with its button held.
std::size_t LargestShootPattern(std::size_t memory_bytes);

}  // namespace brontal
