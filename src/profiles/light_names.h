#pragma once

#include <json/json.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "profiles/data_folders.h"

// The lighting names a device offers its lighting panel: the built-in modes
// and areas of the factory "default_light.json", and the custom effects of
// the device folder's "drumo_light.config". Both files hold one list per light
// slot (the entry kind code: 0 keyboard, 1 mouse, 2 mouse pad, 3 headset).
namespace brontal {

struct LightMode {
  std::string name;        // "LightName", UTF-8
  bool visible = false;    // "visible": whether the panel offers the mode
  std::int32_t value = 0;  // "value": the mode's code on the device
  bool operator==(const LightMode&) const = default;
};

struct LightNameLists {
  std::vector<LightMode> modes;             // by mode index
  std::vector<std::string> areas;           // "AreaLightName"
  std::vector<std::string> custom_effects;  // "LightInfo" of the light config
  bool operator==(const LightNameLists&) const = default;
};

// Replaces each list whose array the files hold for the slot. A list whose
// array is missing, or is not an array, keeps what it had; an element that is
// not an object still takes its place, with an empty name.
void LoadLightNames(std::size_t light_slot, const std::filesystem::path& device_folder, LightNameLists& lists,
                    const std::filesystem::path& default_data_folder = DefaultDataFolder());

// The "Guid" of a custom effect in a light config document: element effect of
// "LightInfo"[list]. Empty when there is none.
std::string CustomEffectGuid(const Json::Value& light_config, std::size_t list, std::size_t effect);

}  // namespace brontal
