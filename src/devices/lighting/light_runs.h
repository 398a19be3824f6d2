#pragma once

#include <cstddef>

namespace brontal::lighting {

// Mice light in 7 groups and mouse pads and headsets chase in 7 pairs. The
// devices' lights are split, in their order, into 7 runs as even as the count
// allows: 15 lights give runs of 2, 2, 2, 2, 2, 2, 3, and 13 lights 1, 2, 2,
// 2, 2, 2, 2.
inline constexpr std::size_t kLightRuns = 7;

constexpr std::size_t RunOf(std::size_t light, std::size_t light_count) {
  return light_count == 0 ? 0 : (light * kLightRuns + kLightRuns - 1) / light_count;
}

}  // namespace brontal::lighting
