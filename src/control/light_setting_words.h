#pragma once

#include <json/json.h>

#include <span>
#include <string>
#include <string_view>

#include "profiles/light_names.h"
#include "profiles/profile_records.h"

// The lighting names every device's "set" takes and "show" prints: mode,
// brightness, speed, direction, multicolor and color.
namespace brontal::light_setting_words {

bool IsLightName(std::string_view name);

// `value` stored into the named member of `light`; false for a value the
// device does not take (a mode outside `modes`, a level past 4, ...).
bool Apply(std::string_view name, std::string_view value, std::span<const LightMode> modes, LightSetting& light);

// The members into `settings`, with "mode_name" beside "mode".
void Show(const LightSetting& light, std::span<const LightMode> modes, Json::Value& settings);

// The settings as "  name = value" lines, the mode's name beside its index.
std::string SettingLines(const Json::Value& settings);

}  // namespace brontal::light_setting_words
