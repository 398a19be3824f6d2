#include "profiles/light_names.h"

#include "profiles/json_document.h"
#include "profiles/json_fields.h"

namespace brontal {
namespace {

constexpr const char* kDefaultLightFile = "default_light.json";
constexpr const char* kLightConfigFile = "drumo_light.config";
constexpr const char* kModes = "DefaultLightName";
constexpr const char* kAreas = "AreaLightName";
constexpr const char* kCustomEffects = "LightInfo";
constexpr const char* kName = "LightName";
constexpr const char* kVisible = "visible";
constexpr const char* kValue = "value";
constexpr const char* kGuid = "Guid";

// Replaces list with one entry per element of array, unless it is no array.
template <class Entry, class Decode>
void ReplaceFrom(const Json::Value& array, std::vector<Entry>& list, Decode decode) {
  if (!array.isArray()) return;
  list.clear();
  for (std::size_t i = 0; i < ElementCount(array); ++i) list.push_back(decode(Element(array, i)));
}

std::string NameOf(const Json::Value& element) { return ToText(Member(element, kName)); }

}  // namespace

void LoadLightNames(std::size_t light_slot, const std::filesystem::path& device_folder, LightNameLists& lists,
                    const std::filesystem::path& default_data_folder) {
  const Json::Value defaults = ReadJsonDocument(default_data_folder / kDefaultLightFile);
  ReplaceFrom(Element(Member(defaults, kModes), light_slot), lists.modes, [](const Json::Value& mode) {
    return LightMode{NameOf(mode), ToFlag(Member(mode, kVisible)), ToField<std::int32_t>(Member(mode, kValue))};
  });
  ReplaceFrom(Element(Member(defaults, kAreas), light_slot), lists.areas, NameOf);

  const Json::Value light_config = ReadJsonDocument(device_folder / kLightConfigFile);
  ReplaceFrom(Element(Member(light_config, kCustomEffects), light_slot), lists.custom_effects, NameOf);
}

std::string CustomEffectGuid(const Json::Value& light_config, std::size_t list, std::size_t effect) {
  return ToText(Member(Element(Element(Member(light_config, kCustomEffects), list), effect), kGuid));
}

}  // namespace brontal
