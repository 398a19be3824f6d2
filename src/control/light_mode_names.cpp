#include "control/light_mode_names.h"

#include <filesystem>

#include "control/command_line.h"
#include "support/ascii_text.h"

namespace brontal {

std::optional<long> ParseLightMode(std::string_view text, std::span<const LightMode> modes) {
  if (const auto number = ParseNumber(text, 0, 255)) return number;
  for (std::size_t i = 0; i < modes.size(); ++i)
    if (EqualIgnoringAsciiCase(modes[i].name, text)) return static_cast<long>(i);
  return std::nullopt;
}

std::vector<LightMode> FactoryLightModes(std::size_t light_slot) {
  LightNameLists lists;
  LoadLightNames(light_slot, std::filesystem::path(), lists);
  return lists.modes;
}

}  // namespace brontal
