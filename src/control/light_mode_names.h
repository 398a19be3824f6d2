#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "profiles/light_names.h"

namespace brontal {

// The mode index a word names: a number, or a mode's name in any letter case.
std::optional<long> ParseLightMode(std::string_view text, std::span<const LightMode> modes);

// The factory modes of a light slot (0 keyboard, 1 mouse, 2 mouse pad, 3 headset).
std::vector<LightMode> FactoryLightModes(std::size_t light_slot);

}  // namespace brontal
