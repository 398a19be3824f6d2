#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "macros/scan_code_table.h"

// Linux names keys by evdev code (linux/input-event-codes.h), the scan code
// table by a set 1 scan code and extended flag.
namespace brontal {

// Row n is scan code table row n.
extern const std::array<std::uint16_t, kScanCodeRowCount> kEvdevKeyCodes;

// X11 and Wayland number keys by evdev code plus this.
inline constexpr std::uint32_t kXkbKeycodeOffset = 8;

// None for keys the scan code table does not hold.
std::optional<ScanCode> ScanCodeForEvdevKey(std::uint32_t evdev_code);

}  // namespace brontal
