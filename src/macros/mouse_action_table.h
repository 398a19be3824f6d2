#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// Mouse buttons and movements as macro events: a row's action code is the
// event's "Type" with bit 7 set for "down".
namespace brontal {

struct MouseActionRow {
  std::uint16_t message;  // Windows mouse message (0x0004 and 0x0005 stand for the movements)
  std::uint8_t category;
  std::uint8_t mask;  // "Button" of a button event
  std::uint8_t action_code;
  std::string_view name_key;
};

inline constexpr std::uint8_t kActionDownBit = 0x80;
inline constexpr std::size_t kMouseActionRowCount = 15;
inline constexpr std::size_t kMouseButtonRows = 10;   // rows 0-9
inline constexpr std::size_t kFirstMovementRow = 10;  // rows 10-13
inline constexpr std::size_t kMovementRows = 4;       // row 14, the wheel, makes no events

// Both extra buttons send one message: the second is "forward" (0x10), the
// first "back" (0x08).
inline constexpr std::array<MouseActionRow, kMouseActionRowCount> kMouseActionTable = {{
    {0x0201, 0x10, 0x01, 0x81, "mouse_key_left"},
    {0x0202, 0x10, 0x01, 0x01, "mouse_key_left"},
    {0x0204, 0x10, 0x02, 0x81, "mouse_key_right"},
    {0x0205, 0x10, 0x02, 0x01, "mouse_key_right"},
    {0x0207, 0x10, 0x04, 0x81, "mouse_key_middle"},
    {0x0208, 0x10, 0x04, 0x01, "mouse_key_middle"},
    {0x020B, 0x10, 0x10, 0x81, "mouse_key_forward"},
    {0x020C, 0x10, 0x10, 0x01, "mouse_key_forward"},
    {0x020B, 0x10, 0x08, 0x81, "mouse_key_back"},
    {0x020C, 0x10, 0x08, 0x01, "mouse_key_back"},
    {0x0004, 0x15, 0, 0x84, "mouse_move_to_left_text"},
    {0x0004, 0x15, 0, 0x04, "mouse_move_to_right_text"},
    {0x0005, 0x15, 0, 0x85, "mouse_move_to_up_text"},
    {0x0005, 0x15, 0, 0x05, "mouse_move_to_down_text"},
    {0x020A, 0x12, 0, 0, "mouse_cursor_text"},
}};

}  // namespace brontal
