#include "profiles/custom_colour_members.h"

#include "profiles/json_fields.h"
#include "profiles/record_fields.h"

namespace brontal {
namespace {

constexpr const char* kGroups = "LightColorInfo";
constexpr const char* kGroupIndex = "CustomLightModeGroupIndex";

using C = CustomColour;
constexpr FieldRules<C, std::uint8_t, 4> kColourRules = {{
    {"Red", &C::red},
    {"Green", &C::green},
    {"Blue", &C::blue},
    {"Alpha", &C::alpha},
}};

}  // namespace

std::vector<CustomColour> TakeCustomColours(Json::Value& custom_light_mode, std::uint8_t group, std::size_t count) {
  if (count == 0) return {};
  std::vector<CustomColour> colours(count);
  Json::Value& colours_of_group = ElementForWrite(MemberForWrite(custom_light_mode, kGroups), group);
  for (std::size_t i = 0; i < count; ++i) {
    Json::Value& colour = ElementForWrite(colours_of_group, i);
    if (!colour.isObject()) colour = EncodeFields(CustomColour{}, kColourRules);
    colours[i] = DecodeFields<CustomColour>(colour, kColourRules);
  }
  return colours;
}

void PutCustomColours(Json::Value& custom_light_mode, std::uint8_t group, std::span<const CustomColour> colours) {
  Json::Value& colours_of_group = ElementForWrite(MemberForWrite(custom_light_mode, kGroups), group);
  for (std::size_t i = 0; i < colours.size(); ++i)
    ElementForWrite(colours_of_group, i) = EncodeFields(colours[i], kColourRules);
}

std::uint8_t DecodeCustomGroup(const Json::Value& custom_light_mode) {
  return ToField<std::uint8_t>(Member(custom_light_mode, kGroupIndex));
}

void PutCustomGroup(Json::Value& custom_light_mode, std::uint8_t group) {
  MemberForWrite(custom_light_mode, kGroupIndex) = group;
}

}  // namespace brontal
