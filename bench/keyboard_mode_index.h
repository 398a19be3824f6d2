#pragma once

#include <cstdint>
#include <optional>

#include "devices/keyboard/corvane_keyboard_device.h"

namespace brontal::bench {

// Where the keyboard's mode list has the mode of `code`.
inline std::optional<std::uint8_t> ModeIndexOfCode(const CCorvaneKeyboardDevice& kb, int code) {
  const auto& modes = kb.light_names().modes;
  for (std::size_t i = 0; i < modes.size(); ++i)
    if (modes[i].value == code) return static_cast<std::uint8_t>(i);
  return std::nullopt;
}

}  // namespace brontal::bench
