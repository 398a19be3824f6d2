#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "devices/key_action_tables.h"

// The keys a macro can press and a key can be assigned: the recorder turns a
// captured key into a row, event lists show a row's name, and the key-function
// catalogue offers the rows' actions.
namespace brontal {

struct KeyCodeRow {
  // Windows virtual-key code (0x0101, 0x0103-0x0105 private, 0 none): kept as
  // a cross-reference only, since keys are captured by scan code here.
  std::uint16_t virtual_key;
  KeyAction action;  // category 0x20: b1 modifier bit or b2 HID usage
  std::string_view name_key;
};

inline constexpr std::size_t kKeyCodeRowCount = 142;
inline constexpr std::size_t kFirstOrdinaryKeyRow = 8;  // rows 0-7 are the modifiers

namespace key_code_detail {
constexpr KeyCodeRow Modifier(std::uint16_t vk, std::uint8_t bit, std::string_view name) {
  return {vk, {0x20, bit, 0}, name};
}
constexpr KeyCodeRow Key(std::uint16_t vk, std::uint8_t usage, std::string_view name) {
  return {vk, {0x20, 0, usage}, name};
}
constexpr KeyCodeRow Consumer(std::uint16_t vk, std::uint16_t usage, std::string_view name) {
  return {vk, {0x30, static_cast<std::uint8_t>(usage & 0xFF), static_cast<std::uint8_t>(usage >> 8)}, name};
}
}  // namespace key_code_detail

inline constexpr std::array<KeyCodeRow, kKeyCodeRowCount> kKeyCodeTable = [] {
  using namespace key_code_detail;
  return std::array<KeyCodeRow, kKeyCodeRowCount>{{
      Modifier(162, 0x01, "keyboard_key_LCtrl"),  // 0
      Modifier(160, 0x02, "keyboard_key_LShift"),
      Modifier(164, 0x04, "keyboard_key_LAlt"),
      Modifier(91, 0x08, "keyboard_key_LWin"),
      Modifier(163, 0x10, "keyboard_key_RCtrl"),
      Modifier(161, 0x20, "keyboard_key_RShift"),
      Modifier(165, 0x40, "keyboard_key_RAlt"),
      Modifier(92, 0x80, "keyboard_key_RWin"),
      Key(0x41, 0x04, "keyboard_key_A"),  // 8
      Key(0x42, 0x05, "keyboard_key_B"),
      Key(0x43, 0x06, "keyboard_key_C"),
      Key(0x44, 0x07, "keyboard_key_D"),
      Key(0x45, 0x08, "keyboard_key_E"),
      Key(0x46, 0x09, "keyboard_key_F"),
      Key(0x47, 0x0A, "keyboard_key_G"),
      Key(0x48, 0x0B, "keyboard_key_H"),
      Key(0x49, 0x0C, "keyboard_key_I"),
      Key(0x4A, 0x0D, "keyboard_key_J"),
      Key(0x4B, 0x0E, "keyboard_key_K"),
      Key(0x4C, 0x0F, "keyboard_key_L"),
      Key(0x4D, 0x10, "keyboard_key_M"),
      Key(0x4E, 0x11, "keyboard_key_N"),
      Key(0x4F, 0x12, "keyboard_key_O"),
      Key(0x50, 0x13, "keyboard_key_P"),
      Key(0x51, 0x14, "keyboard_key_Q"),
      Key(0x52, 0x15, "keyboard_key_R"),
      Key(0x53, 0x16, "keyboard_key_S"),
      Key(0x54, 0x17, "keyboard_key_T"),
      Key(0x55, 0x18, "keyboard_key_U"),
      Key(0x56, 0x19, "keyboard_key_V"),
      Key(0x57, 0x1A, "keyboard_key_W"),
      Key(0x58, 0x1B, "keyboard_key_X"),
      Key(0x59, 0x1C, "keyboard_key_Y"),
      Key(0x5A, 0x1D, "keyboard_key_Z"),
      Key(0x31, 0x1E, "keyboard_key_1"),  // 34
      Key(0x32, 0x1F, "keyboard_key_2"),
      Key(0x33, 0x20, "keyboard_key_3"),
      Key(0x34, 0x21, "keyboard_key_4"),
      Key(0x35, 0x22, "keyboard_key_5"),
      Key(0x36, 0x23, "keyboard_key_6"),
      Key(0x37, 0x24, "keyboard_key_7"),
      Key(0x38, 0x25, "keyboard_key_8"),
      Key(0x39, 0x26, "keyboard_key_9"),
      Key(0x30, 0x27, "keyboard_key_0"),
      Key(0x0D, 0x28, "keyboard_key_Enter"),  // 44
      Key(0x1B, 0x29, "keyboard_key_Esc"),
      Key(0x08, 0x2A, "keyboard_key_BackSpace"),
      Key(0x09, 0x2B, "keyboard_key_Tab"),
      Key(0x20, 0x2C, "keyboard_key_Space"),
      Key(0xBD, 0x2D, "keyboard_key_-"),  // 49
      Key(0xBB, 0x2E, "keyboard_key_="),
      Key(0xDB, 0x2F, "keyboard_key_["),
      Key(0xDD, 0x30, "keyboard_key_]"),
      Key(0xDC, 0x31, "keyboard_key_xiegang"),
      Key(0xBA, 0x33, "keyboard_key_;"),  // 54
      Key(0xDE, 0x34, "keyboard_key_'"),
      Key(0xC0, 0x35, "keyboard_key_`"),
      Key(0xBC, 0x36, "keyboard_key_<"),
      Key(0xBE, 0x37, "keyboard_key_."),
      Key(0xBF, 0x38, "keyboard_key_/"),
      Key(0x14, 0x39, "keyboard_key_Caplk"),  // 60
      Key(0x70, 0x3A, "keyboard_key_F1"),     // 61
      Key(0x71, 0x3B, "keyboard_key_F2"),
      Key(0x72, 0x3C, "keyboard_key_F3"),
      Key(0x73, 0x3D, "keyboard_key_F4"),
      Key(0x74, 0x3E, "keyboard_key_F5"),
      Key(0x75, 0x3F, "keyboard_key_F6"),
      Key(0x76, 0x40, "keyboard_key_F7"),
      Key(0x77, 0x41, "keyboard_key_F8"),
      Key(0x78, 0x42, "keyboard_key_F9"),
      Key(0x79, 0x43, "keyboard_key_F10"),
      Key(0x7A, 0x44, "keyboard_key_F11"),
      Key(0x7B, 0x45, "keyboard_key_F12"),
      Key(0x2C, 0x46, "keyboard_key_Print Scr"),  // 73
      Key(0x91, 0x47, "keyboard_key_Scroll Lock"),
      Key(0x13, 0x48, "keyboard_key_Pause"),
      Key(0x2D, 0x49, "keyboard_key_Insert"),  // 76
      Key(0x24, 0x4A, "keyboard_key_Home"),
      Key(0x21, 0x4B, "keyboard_key_Page Up"),
      Key(0x2E, 0x4C, "keyboard_key_Delete"),
      Key(0x23, 0x4D, "keyboard_key_End"),
      Key(0x22, 0x4E, "keyboard_key_Page Down"),
      Key(0x27, 0x4F, "keyboard_key_Right"),  // 82
      Key(0x25, 0x50, "keyboard_key_Left"),
      Key(0x28, 0x51, "keyboard_key_Down"),
      Key(0x26, 0x52, "keyboard_key_Up"),
      Key(0x90, 0x53, "keyboard_key_Num Lock"),  // 86
      Key(0x6F, 0x54, "keyboard_key_Num /"),
      Key(0x6A, 0x55, "keyboard_key_Num *"),
      Key(0x6D, 0x56, "keyboard_key_Num -"),
      Key(0x6B, 0x57, "keyboard_key_Num +"),
      Key(0x0101, 0x58, "keyboard_key_Num Enter"),
      Key(0x61, 0x59, "keyboard_key_Num 1"),  // 92
      Key(0x62, 0x5A, "keyboard_key_Num 2"),
      Key(0x63, 0x5B, "keyboard_key_Num 3"),
      Key(0x64, 0x5C, "keyboard_key_Num 4"),
      Key(0x65, 0x5D, "keyboard_key_Num 5"),
      Key(0x66, 0x5E, "keyboard_key_Num 6"),
      Key(0x67, 0x5F, "keyboard_key_Num 7"),
      Key(0x68, 0x60, "keyboard_key_Num 8"),
      Key(0x69, 0x61, "keyboard_key_Num 9"),
      Key(0x60, 0x62, "keyboard_key_Num 0"),
      Key(0x6E, 0x63, "keyboard_key_Decimal"),  // 102
      Key(0x5D, 0x65, "keyboard_key_App"),
      Key(0xE2, 0x64, "keyboard_key_K45"),  // 104
      Key(0xC1, 0x87, "keyboard_key_K56"),
      Key(0xFF, 0x89, "keyboard_key_K14"),
      Key(0xC2, 0x85, "keyboard_key_K107"),
      Key(0xEB, 0x8B, "keyboard_key_K131"),
      Key(0xFF, 0x8A, "keyboard_key_K132"),
      Key(0xFF, 0x88, "keyboard_key_K133"),
      Key(0xE9, 0x91, "keyboard_key_K150"),
      Key(0xFF, 0x90, "keyboard_key_K151"),
      Key(0xBF, 0x32, "keyboard_key_K42"),
      Consumer(0xB7, 0x0192, "keyboard_key_Launch App2"),  // 114
      Consumer(0xAC, 0x0223, "keyboard_key_Browaer Home"),
      Consumer(0xB3, 0x00CD, "keyboard_key_Media Play Pause"),
      Consumer(0xAA, 0x0221, "keyboard_key_Browser Search"),
      Consumer(0xB4, 0x018A, "keyboard_key_Launch Mail"),
      Consumer(0xAF, 0x00E9, "keyboard_key_Volume Up"),
      Consumer(0xAD, 0x00E2, "keyboard_key_Volume Mute"),
      Consumer(0xB2, 0x00B7, "keyboard_key_Media Stop"),
      Consumer(0xAE, 0x00EA, "keyboard_key_Volume Down"),
      Consumer(0xAB, 0x022A, "keyboard_key_Browser Favorites"),
      Consumer(0xA7, 0x0225, "keyboard_key_Browser ForWard"),
      Consumer(0xA6, 0x0224, "keyboard_key_Browser Back"),
      Consumer(0xB1, 0x00B6, "keyboard_key_Media Prev Track"),
      Consumer(0xB0, 0x00B5, "keyboard_key_Media Next Track"),
      Consumer(0xB6, 0x0194, "keyboard_key_Computer"),
      Consumer(0xA8, 0x0227, "keyboard_key_Browser Refresh"),
      Consumer(0xA9, 0x0226, "wed_stop"),
      Consumer(0xB5, 0x0183, "keyboard_key_Launch Media Select"),
      {0x0103, {0x40, 0x01, 0}, "keyboard_key_Power"},  // 132
      {0x0104, {0x40, 0x02, 0}, "keyboard_key_Sleep"},
      {0x0105, {0x40, 0x04, 0}, "keyboard_key_Wakeup"},
      {0, {0xD0, 0xA2, 1}, "keyboard_key_M1"},  // 135
      {0, {0xD0, 0xA2, 2}, "keyboard_key_M2"},
      {0, {0xD0, 0xA2, 3}, "keyboard_key_M3"},
      {0, {0xD0, 0xA2, 4}, "keyboard_key_M4"},
      {0, {0xD0, 0xA2, 5}, "keyboard_key_M5"},
      {0, {0xA0, 0x01, 0}, "keyboard_key_FN"},  // 140
      {0, {0xA0, 0x1B, 0}, "keyboard_key_GM"},
  }};
}();

}  // namespace brontal
