#pragma once

#include <cstdint>

#include "devices/key_action_tables.h"

// Key actions that play a macro: b1 is the macro's index in the model's macro
// index, so removing a macro renumbers every later one.
namespace brontal {

inline constexpr std::uint8_t kMacroActionCategory = 0x70;          // b2: play mode
inline constexpr std::uint8_t kRepeatedMacroActionCategory = 0x71;  // b2: repeat count

constexpr bool IsMacroAction(const KeyAction& action) {
  return action[0] == kMacroActionCategory || action[0] == kRepeatedMacroActionCategory;
}

constexpr std::uint8_t MacroIndexOf(const KeyAction& action) { return action[1]; }

}  // namespace brontal
