#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The factory key actions of the logical keys and mouse buttons. The host
// finds a key's slot by searching the device's base key table for exactly these
// three bytes, the firmware ships them, and the factory profiles carry them as
// defaults, so every side reads this one table.
namespace brontal {

using KeyAction = std::array<std::uint8_t, 3>;  // category, modifier or parameter, usage

inline constexpr std::size_t kLogicalKeyCount = 126;
inline constexpr std::size_t kMouseButtonCount = 11;

namespace key_action_detail {
constexpr KeyAction Key(std::uint8_t usage) { return {0x20, 0x00, usage}; }
constexpr KeyAction Modifier(std::uint8_t mask) { return {0x20, mask, 0x00}; }
}  // namespace key_action_detail

// Indexed by logical key. 18 and 89, 19 and 108, 20 and 104 carry the same
// action; 110 is the Fn key.
inline constexpr std::array<KeyAction, kLogicalKeyCount> kLogicalKeyActions = [] {
  using namespace key_action_detail;
  return std::array<KeyAction, kLogicalKeyCount>{{
      Key(0x29),          Key(0x3A),          Key(0x3B),          Key(0x3C),
      Key(0x3D),          Key(0x3E),  // 0-5
      Key(0x3F),          Key(0x40),          Key(0x41),          Key(0x42),
      Key(0x43),          Key(0x44),  // 6-11
      Key(0x45),          Key(0x46),          Key(0x47),          Key(0x48),
      {0xA0, 0x1B, 0x00}, {0xA0, 0x24, 0x00},  // 12-17
      Key(0x05),          Key(0x2C),          Key(0x00),          Key(0x35),
      Key(0x1E),          Key(0x1F),  // 18-23
      Key(0x20),          Key(0x21),          Key(0x22),          Key(0x23),
      Key(0x24),          Key(0x25),  // 24-29
      Key(0x26),          Key(0x27),          Key(0x2D),          Key(0x2E),
      Key(0x2A),          Key(0x49),  // 30-35
      Key(0x4A),          Key(0x4B),          Key(0x53),          Key(0x54),
      Key(0x55),          Key(0x56),  // 36-41
      Key(0x2B),          Key(0x14),          Key(0x1A),          Key(0x08),
      Key(0x15),          Key(0x17),  // 42-47
      Key(0x1C),          Key(0x18),          Key(0x0C),          Key(0x12),
      Key(0x13),          Key(0x2F),  // 48-53
      Key(0x30),          Key(0x31),          Key(0x4C),          Key(0x4D),
      Key(0x4E),          Key(0x5F),  // 54-59
      Key(0x60),          Key(0x61),          Key(0x32),          Key(0x39),
      Key(0x04),          Key(0x16),  // 60-65
      Key(0x07),          Key(0x09),          Key(0x0A),          Key(0x0B),
      Key(0x0D),          Key(0x0E),  // 66-71
      Key(0x0F),          Key(0x33),          Key(0x34),          Key(0x28),
      Key(0x5C),          Key(0x5D),  // 72-77
      Key(0x5E),          Key(0x8A),          Key(0x8B),          Key(0x90),
      Key(0x91),          Key(0x88),  // 78-83
      Modifier(0x02),     Key(0x1D),          Key(0x1B),          Key(0x06),
      Key(0x19),          Key(0x05),  // 84-89
      Key(0x11),          Key(0x10),          Key(0x36),          Key(0x37),
      Key(0x38),          Modifier(0x20),  // 90-95
      Key(0x52),          Key(0x59),          Key(0x5A),          Key(0x5B),
      Key(0x87),          Key(0x89),  // 96-101
      Key(0x64),          Key(0x85),          Key(0x00),          Modifier(0x01),
      Modifier(0x08),     Modifier(0x04),  // 102-107
      Key(0x2C),          Modifier(0x40),     {0xA0, 0x01, 0x00}, Key(0x65),
      Modifier(0x10),     Key(0x50),  // 108-113
      Key(0x51),          Key(0x4F),          Key(0x62),          Key(0x63),
      Key(0x58),          Key(0x57),                                                   // 114-119
      {0xD0, 0xA2, 0x01}, {0xD0, 0xA2, 0x02}, {0xD0, 0xA2, 0x03}, {0xD0, 0xA2, 0x04},  // 120-123
      {0xD0, 0xA2, 0x05}, Modifier(0x80),                                              // 124-125
  }};
}();

// Indexed by logical mouse button.
inline constexpr std::array<KeyAction, kMouseButtonCount> kMouseButtonActions = {{
    {0x10, 0x01, 0x00},
    {0x10, 0x02, 0x00},
    {0x10, 0x04, 0x00},
    {0x10, 0x10, 0x00},
    {0x10, 0x08, 0x00},
    {0x13, 0x01, 0x00},
    {0x13, 0x02, 0x00},
    {0x13, 0x03, 0x00},
    {0xA0, 0x1B, 0x00},
    {0x16, 0x90, 0x01},
    {0x14, 0x78, 0x02},
}};

}  // namespace brontal
