#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "macros/macro_event.h"

// A mouse keeps four recoil patterns, one per gun key. The panel edits each as
// 30 shots of six events; the mouse plays whatever events a pattern holds.
namespace brontal {

inline constexpr std::size_t kGunCount = 4;
inline constexpr std::size_t kShotCount = 30;
inline constexpr std::size_t kShotEvents = 6;

// The events of each gun's pattern, gun 0 first.
using ShootPatterns = std::array<std::vector<MacroEvent>, kGunCount>;

}  // namespace brontal
