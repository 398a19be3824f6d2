#pragma once

#include <json/json.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "profiles/profile_records.h"

// The keyboard's per-key colour groups: "CustomLightMode" holds the selected
// group "CustomLightModeGroupIndex" and "LightColorInfo", one array of
// {"Red", "Green", "Blue", "Alpha"} per group.
namespace brontal {

// The first count colours of the group; every missing one (the whole group
// when it is missing) is written as zeros and read as zeros.
std::vector<CustomColour> TakeCustomColours(Json::Value& custom_light_mode, std::uint8_t group, std::size_t count);
// Replaces elements 0..n-1 of the group and keeps any longer tail.
void PutCustomColours(Json::Value& custom_light_mode, std::uint8_t group, std::span<const CustomColour> colours);

std::uint8_t DecodeCustomGroup(const Json::Value& custom_light_mode);
void PutCustomGroup(Json::Value& custom_light_mode, std::uint8_t group);

}  // namespace brontal
