#pragma once

#include <json/json.h>

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "profiles/profile_records.h"

// The headset equaliser's members: "EQHzValueInfo" (indexed by preset),
// "CustomEQHzValueInfo" (indexed by custom curve), each element an array of
// ten {"value": n} bands, and "CustomEQNameInfo", the curves' names.
namespace brontal {

inline constexpr int kCustomEqPreset = 13;
// No panel holds more custom curves; a slot past them is never stored.
inline constexpr std::size_t kMaxCustomEqCurves = 20;

// The element of "EQHzValueInfo" a preset addresses: 1..12 their own, the
// custom preset 13 none, anything else preset 1.
std::optional<std::size_t> EqPresetElement(int preset);

// The bands of curves[index]; every band that is missing (or not an object)
// is written as {"value": 0} and read as 0.
EqBands TakeEqBands(Json::Value& curves, std::size_t index);
// Writes "value" of the ten bands of curves[index].
void PutEqBands(Json::Value& curves, std::size_t index, const EqBands& bands);

std::vector<std::string> DecodeEqNames(const Json::Value& names);
Json::Value EncodeEqNames(std::span<const std::string> names);

}  // namespace brontal
