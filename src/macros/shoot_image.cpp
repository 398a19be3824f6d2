#include "macros/shoot_image.h"

#include <algorithm>

namespace brontal {

ShootImageBuild BuildShootImage(const ShootPatterns& patterns) {
  MacroImageBuild build = BuildMacroImage(patterns, {.capacity_bytes = kLargestShootImage, .longest_macro = {}});
  if (auto* refused = std::get_if<MacroImageTooLarge>(&build)) return *refused;
  return std::get<std::vector<std::uint8_t>>(std::move(build));
}

std::size_t LargestShootPattern(std::size_t memory_bytes) {
  const std::size_t memory = std::min(memory_bytes, kLargestShootImage);
  const std::size_t fixed = MacroImageSize(ShootPatterns{});
  if (memory < fixed) return 0;
  const std::size_t events = (memory - fixed) / (kGunCount * kMacroImageEventSize);
  return events - events % kShotEvents;
}

}  // namespace brontal
