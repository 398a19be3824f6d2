#include "control/light_setting_words.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "control/command_line.h"
#include "control/light_mode_names.h"
#include "control/setting_words.h"

namespace brontal::light_setting_words {
namespace {

constexpr std::string_view kNames[] = {"mode", "brightness", "speed", "direction", "multicolor", "color"};

}  // namespace

bool IsLightName(std::string_view name) { return std::ranges::find(kNames, name) != std::end(kNames); }

bool Apply(std::string_view name, std::string_view value, std::span<const LightMode> modes, LightSetting& light) {
  std::optional<long> number;
  if (name == "mode") {
    number = ParseLightMode(value, modes);
    if (number && static_cast<std::size_t>(*number) >= modes.size()) number.reset();
  } else if (name == "color") {
    number = setting_words::ParseColour(value);
  } else {
    number = ParseNumber(value, 0, name == "brightness" || name == "speed" ? 4 : 1);
  }
  if (!number) return false;
  const auto byte = static_cast<std::uint8_t>(*number);
  if (name == "mode") light.select_item = byte;
  if (name == "brightness") light.light = byte;
  if (name == "speed") light.speed = byte;
  if (name == "direction") light.fx = byte;
  if (name == "multicolor") light.multi_color = byte;
  if (name == "color") {
    light.red = static_cast<std::uint8_t>(*number >> 16);
    light.green = static_cast<std::uint8_t>(*number >> 8);
    light.blue = byte;
  }
  return true;
}

void Show(const LightSetting& light, std::span<const LightMode> modes, Json::Value& settings) {
  settings["mode"] = light.select_item;
  settings["mode_name"] = light.select_item < modes.size() ? modes[light.select_item].name : "";
  settings["brightness"] = light.light;
  settings["speed"] = light.speed;
  settings["direction"] = light.fx;
  settings["multicolor"] = light.multi_color;
  settings["color"] = setting_words::HexColour(light.red, light.green, light.blue);
}

std::string SettingLines(const Json::Value& settings) {
  std::string out;
  for (const std::string& name : settings.getMemberNames()) {
    if (name == "mode_name") continue;
    const Json::Value& value = settings[name];
    out += "  " + name + " = " + (value.isString() ? value.asString() : std::to_string(value.asInt()));
    if (name == "mode" && !settings["mode_name"].asString().empty())
      out += " (" + settings["mode_name"].asString() + ")";
    out += '\n';
  }
  return out;
}

}  // namespace brontal::light_setting_words
