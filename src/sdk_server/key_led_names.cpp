#include "sdk_server/key_led_names.h"

#include "devices/key_action_tables.h"
#include "devices/keyboard/keyboard_picture.h"

namespace brontal::sdk {
namespace {

// HID usages of the number pad's keys, "/" to ".".
constexpr std::uint8_t kFirstPadUsage = 0x54;
constexpr std::uint8_t kLastPadUsage = 0x63;

}  // namespace

std::string KeyLedName(std::size_t logical_key) {
  const std::string label(KeyCapLabel(logical_key));
  if (logical_key >= kLogicalKeyCount) return "Key: " + label;
  const KeyAction& action = kLogicalKeyActions[logical_key];
  if (action[0] == 0x20 && action[2] == 0 && action[1] != 0)
    return std::string("Key: ") + (action[1] < 0x10 ? "Left " : "Right ") + label;
  if (action[0] == 0x20 && action[2] >= kFirstPadUsage && action[2] <= kLastPadUsage) return "Key: Number Pad " + label;
  return "Key: " + label;
}

}  // namespace brontal::sdk
