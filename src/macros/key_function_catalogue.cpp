#include "macros/key_function_catalogue.h"

#include <algorithm>
#include <array>
#include <ranges>

#include "macros/key_code_table.h"
#include "macros/macro_key_action.h"
#include "support/ascii_text.h"

namespace brontal {
namespace {

using C = KeyFunctionCategory;

constexpr KeyFunctionCategoryInfo kCategories[] = {
    {C::kNone, "none", 0, true},
    {C::kMouseButton, "mouse_button", 1, true},
    {C::kMouseSwing, "mouse_swing", 2, true},
    {C::kMouseWheel, "mouse_wheel", 3, true},
    {C::kDpi, "dpi", 4, false},
    {C::kFireKey, "fire_key", 5, true},
    {C::kKeyboardKey, "keyboard_key", 6, true},
    {C::kMedia, "media", 7, true},
    {C::kSystem, "system", 8, true},
    {C::kMacro, "macro", 9, true},
    {C::kGun, "gun", 10, false},
    {C::kShortcut, "shortcut", 11, true},
    {C::kSpecial, "special", 12, true},
    {C::kLighting, "lighting", 13, true},
    {C::kIqLayer, "iq_layer", 14, true},
    {C::kIqLongPressLayer, "iq_layer_long_press", 14, true},
};
static_assert(std::ranges::all_of(std::views::iota(std::size_t{0}, std::size(kCategories)), [](std::size_t i) {
  return static_cast<std::size_t>(kCategories[i].category) == i;
}));

// Command line names of the key code table's rows, in row order; empty for
// the rows that the media, system and special tables list.
constexpr std::array<std::string_view, kKeyCodeRowCount> kKeyNames = {
    "keyboard_key_lctrl",  // 0 modifiers
    "keyboard_key_lshift",
    "keyboard_key_lalt",
    "keyboard_key_lwin",
    "keyboard_key_rctrl",
    "keyboard_key_rshift",
    "keyboard_key_ralt",
    "keyboard_key_rwin",
    "keyboard_key_a",  // 8 letters
    "keyboard_key_b",
    "keyboard_key_c",
    "keyboard_key_d",
    "keyboard_key_e",
    "keyboard_key_f",
    "keyboard_key_g",
    "keyboard_key_h",
    "keyboard_key_i",
    "keyboard_key_j",
    "keyboard_key_k",
    "keyboard_key_l",
    "keyboard_key_m",
    "keyboard_key_n",
    "keyboard_key_o",
    "keyboard_key_p",
    "keyboard_key_q",
    "keyboard_key_r",
    "keyboard_key_s",
    "keyboard_key_t",
    "keyboard_key_u",
    "keyboard_key_v",
    "keyboard_key_w",
    "keyboard_key_x",
    "keyboard_key_y",
    "keyboard_key_z",
    "keyboard_key_1",  // 34 digits
    "keyboard_key_2",
    "keyboard_key_3",
    "keyboard_key_4",
    "keyboard_key_5",
    "keyboard_key_6",
    "keyboard_key_7",
    "keyboard_key_8",
    "keyboard_key_9",
    "keyboard_key_0",
    "keyboard_key_enter",  // 44
    "keyboard_key_esc",
    "keyboard_key_backspace",
    "keyboard_key_tab",
    "keyboard_key_space",
    "keyboard_key_minus",  // 49
    "keyboard_key_equals",
    "keyboard_key_left_bracket",
    "keyboard_key_right_bracket",
    "keyboard_key_backslash",
    "keyboard_key_semicolon",  // 54
    "keyboard_key_apostrophe",
    "keyboard_key_grave",
    "keyboard_key_comma",
    "keyboard_key_period",
    "keyboard_key_slash",
    "keyboard_key_caplk",  // 60
    "keyboard_key_f1",     // 61 F1-F12
    "keyboard_key_f2",
    "keyboard_key_f3",
    "keyboard_key_f4",
    "keyboard_key_f5",
    "keyboard_key_f6",
    "keyboard_key_f7",
    "keyboard_key_f8",
    "keyboard_key_f9",
    "keyboard_key_f10",
    "keyboard_key_f11",
    "keyboard_key_f12",
    "keyboard_key_print_scr",  // 73
    "keyboard_key_scroll_lock",
    "keyboard_key_pause",
    "keyboard_key_insert",  // 76
    "keyboard_key_home",
    "keyboard_key_page_up",
    "keyboard_key_delete",
    "keyboard_key_end",
    "keyboard_key_page_down",
    "keyboard_key_right",  // 82 arrows
    "keyboard_key_left",
    "keyboard_key_down",
    "keyboard_key_up",
    "keyboard_key_num_lock",  // 86 numeric pad
    "keyboard_key_num_slash",
    "keyboard_key_num_asterisk",
    "keyboard_key_num_minus",
    "keyboard_key_num_plus",
    "keyboard_key_num_enter",
    "keyboard_key_num_1",  // 92
    "keyboard_key_num_2",
    "keyboard_key_num_3",
    "keyboard_key_num_4",
    "keyboard_key_num_5",
    "keyboard_key_num_6",
    "keyboard_key_num_7",
    "keyboard_key_num_8",
    "keyboard_key_num_9",
    "keyboard_key_num_0",
    "keyboard_key_decimal",  // 102
    "keyboard_key_app",
    "keyboard_key_k45",  // 104 international keys
    "keyboard_key_k56",
    "keyboard_key_k14",
    "keyboard_key_k107",
    "keyboard_key_k131",
    "keyboard_key_k132",
    "keyboard_key_k133",
    "keyboard_key_k150",
    "keyboard_key_k151",
    "keyboard_key_k42",
    "",  // 114-131 consumer keys: media table
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",  // 132-134 system table
    "",
    "",
    "keyboard_key_m1",  // 135 M1-M5
    "keyboard_key_m2",
    "keyboard_key_m3",
    "keyboard_key_m4",
    "keyboard_key_m5",
    "",                 // 140 Fn: special table
    "keyboard_key_gm",  // 141
};

constexpr KeyFunction Row(C category, std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::string_view label,
                          std::string_view name) {
  return {category, {b0, b1, b2}, label, name};
}
constexpr KeyFunction Media(std::uint16_t usage, std::string_view label, std::string_view name) {
  return Row(C::kMedia, 0x30, static_cast<std::uint8_t>(usage & 0xFF), static_cast<std::uint8_t>(usage >> 8), label,
             name);
}
constexpr KeyFunction Shortcut(std::uint8_t usage, std::string_view label, std::string_view name) {
  return Row(C::kShortcut, 0x20, 0x10, usage, label, name);  // right Ctrl and the key
}

constexpr KeyFunction kTableRows[] = {
    Row(C::kNone, 0x00, 0, 0, kNoKeyLabel, "none"),

    Row(C::kMouseButton, 0x10, 0x01, 0, "mouse_key_left", "mouse_key_left"),
    Row(C::kMouseButton, 0x10, 0x04, 0, "mouse_key_middle", "mouse_key_middle"),
    Row(C::kMouseButton, 0x10, 0x02, 0, "mouse_key_right", "mouse_key_right"),
    Row(C::kMouseButton, 0x10, 0x10, 0, "mouse_key_forward", "mouse_key_forward"),
    Row(C::kMouseButton, 0x10, 0x08, 0, "mouse_key_back", "mouse_key_back"),

    Row(C::kDpi, 0x13, 1, 0, "mouse_key_DPI_add", "mouse_key_dpi_add"),
    Row(C::kDpi, 0x13, 2, 0, "mouse_key_DPI_sub", "mouse_key_dpi_sub"),
    Row(C::kDpi, 0x13, 3, 0, "mouse_key_DPI_loop", "mouse_key_dpi_loop"),

    Media(0x0183, "media_text", "media"),
    Media(0x00CD, "media_play", "media_play"),
    Media(0x00B7, "media_stop", "media_stop"),
    Media(0x00B6, "media_prev", "media_prev"),
    Media(0x00B5, "media_next", "media_next"),
    Media(0x00EA, "media_vol_sub", "media_vol_sub"),
    Media(0x00E9, "media_vol_add", "media_vol_add"),
    Media(0x00E2, "media_mute", "media_mute"),
    Media(0x0223, "web_text", "web"),
    Media(0x0227, "web_refresh", "web_refresh"),
    Media(0x0226, "wed_stop", "web_stop"),
    Media(0x0224, "wed_back", "web_back"),
    Media(0x0225, "wed_forward", "web_forward"),
    Media(0x022A, "wed_favorite", "web_favorite"),
    Media(0x0221, "web_search", "web_search"),
    Media(0x0194, "media_mypc", "media_mypc"),
    Media(0x0192, "media_calc", "media_calc"),
    Media(0x018A, "media_mail", "media_mail"),

    Row(C::kSystem, 0x40, 0x01, 0, "system_power", "system_power"),
    Row(C::kSystem, 0x40, 0x02, 0, "system_sleep", "system_sleep"),
    Row(C::kSystem, 0x40, 0x04, 0, "system_wake_up", "system_wake_up"),

    Row(C::kGun, 0x72, 0, 0, "gun_1_txt", "gun_1"),
    Row(C::kGun, 0x72, 1, 0, "gun_2_txt", "gun_2"),
    Row(C::kGun, 0x72, 2, 0, "gun_3_txt", "gun_3"),
    Row(C::kGun, 0x72, 3, 0, "gun_4_txt", "gun_4"),

    Shortcut(0x12, "custem_open", "custom_open"),
    Shortcut(0x11, "custem_new", "custom_new"),
    Shortcut(0x1D, "custem_undo", "custom_undo"),
    Shortcut(0x16, "custem_save", "custom_save"),
    Shortcut(0x06, "custem_copy", "custom_copy"),
    Shortcut(0x1B, "custem_cut", "custom_cut"),
    Shortcut(0x19, "custem_paste", "custom_paste"),
    Shortcut(0x09, "custem_find", "custom_find"),
    Shortcut(0x04, "custem_select_all", "custom_select_all"),
    Shortcut(0x2D, "custem_narrow", "custom_narrow"),
    Shortcut(0x2E, "custem_magnify", "custom_magnify"),

    Row(C::kSpecial, 0xA0, 0x1A, 0, "reset_key", "reset"),
    Row(C::kSpecial, 0xA0, 0x1C, 0, "keyboard_lock_key", "keyboard_lock"),
    Row(C::kSpecial, 0xA0, 0x33, 0, "bluetooth_mode1_key", "bluetooth_mode1"),
    Row(C::kSpecial, 0xA0, 0x34, 0, "bluetooth_mode2_key", "bluetooth_mode2"),
    Row(C::kSpecial, 0xA0, 0x35, 0, "bluetooth_mode3_key", "bluetooth_mode3"),
    Row(C::kSpecial, 0xA0, 0x36, 0, "24g_switch_key", "24g_switch"),
    Row(C::kSpecial, 0xA0, 0x37, 0, "usb_switch_key", "usb_switch"),
    Row(C::kSpecial, 0xA0, 0x40, 0, "mac_Windows_switch_key", "mac_windows_switch"),
    Row(C::kSpecial, 0xA0, 0x3F, 0, "power_viewing_key", "power_viewing"),
    Row(C::kSpecial, 0xA0, 0x04, 0, "windows_lock_key", "windows_lock"),
    Row(C::kSpecial, 0xA0, 0x01, 0, "keyboard_key_FN", "keyboard_key_fn"),

    Row(C::kLighting, 0xA0, 0x38, 0, "light_off_text", "light_off"),
    Row(C::kLighting, 0xA0, 0x05, 0, "light_brightness_add_key", "light_brightness_add"),
    Row(C::kLighting, 0xA0, 0x06, 0, "light_brightness_sub_key", "light_brightness_sub"),
    Row(C::kLighting, 0xA0, 0x08, 0, "light_speed_add_key", "light_speed_add"),
    Row(C::kLighting, 0xA0, 0x07, 0, "light_speed_sub_key", "light_speed_sub"),
    Row(C::kLighting, 0xA0, 0x39, 0, "light_loop_key", "light_loop"),
    Row(C::kLighting, 0xA0, 0x19, 0, "light_FX_key", "light_fx"),
    Row(C::kLighting, 0xA0, 0x3A, 0, "light_color_loop_key", "light_color_loop"),
    Row(C::kLighting, 0xA0, 0x0C, 0, "light_breath_key", "light_breath"),
    Row(C::kLighting, 0xA0, 0x0F, 0, "light_static_key", "light_static"),

    Row(C::kIqLayer, 0xE0, 0, 1, "IQLayer0_text", "iq_layer_0"),
    Row(C::kIqLayer, 0xE0, 0, 2, "IQLayer1_text", "iq_layer_1"),
    Row(C::kIqLayer, 0xE0, 0, 3, "IQLayer2_text", "iq_layer_2"),
    Row(C::kIqLayer, 0xE0, 0, 4, "IQLayer3_text", "iq_layer_3"),
    Row(C::kIqLayer, 0xE2, 0, 0, "IQLayerFN_text", "iq_layer_fn"),

    Row(C::kIqLongPressLayer, 0xE1, 0, 1, "IQLongLayer0_text", "iq_long_layer_0"),
    Row(C::kIqLongPressLayer, 0xE1, 0, 2, "IQLongLayer1_text", "iq_long_layer_1"),
    Row(C::kIqLongPressLayer, 0xE1, 0, 3, "IQLongLayer2_text", "iq_long_layer_2"),
    Row(C::kIqLongPressLayer, 0xE1, 0, 4, "IQLongLayer3_text", "iq_long_layer_3"),
    Row(C::kIqLongPressLayer, 0xE2, 0, 1, "IQLongLayerFN_text", "iq_long_layer_fn"),
};

constexpr std::size_t kKeyRowCount =
    static_cast<std::size_t>(std::ranges::count_if(kKeyNames, [](std::string_view name) { return !name.empty(); }));

// Category by category: the tables' rows, and the named key code rows as the keyboard keys.
constexpr auto kCatalogue = [] {
  std::array<KeyFunction, std::size(kTableRows) + kKeyRowCount> rows{};
  std::size_t next = 0;
  for (const KeyFunctionCategoryInfo& category : kCategories) {
    for (const KeyFunction& row : kTableRows) {
      if (row.category == category.category) rows[next++] = row;
    }
    if (category.category != C::kKeyboardKey) continue;
    for (std::size_t row = 0; row < kKeyCodeRowCount; ++row) {
      if (!kKeyNames[row].empty())
        rows[next++] = {C::kKeyboardKey, kKeyCodeTable[row].action, kKeyCodeTable[row].name_key, kKeyNames[row]};
    }
  }
  return rows;
}();

bool IsKeyboardKeyAction(const KeyAction& action) { return action[0] == 0x00 || action[0] == 0x20; }

// The key code table's name of a usage, from the ordinary keys on.
std::optional<std::string_view> UsageLabel(std::uint8_t usage) {
  const auto keys = std::span(kKeyCodeTable).subspan(kFirstOrdinaryKeyRow);
  const auto row = std::ranges::find(keys, KeyAction{0x20, 0, usage}, &KeyCodeRow::action);
  if (row == keys.end()) return std::nullopt;
  return row->name_key;
}

}  // namespace

std::span<const KeyFunctionCategoryInfo> KeyFunctionCategories() { return kCategories; }

const KeyFunctionCategoryInfo& CategoryInfo(KeyFunctionCategory category) {
  return kCategories[static_cast<std::size_t>(category)];
}

std::span<const KeyFunction> KeyFunctions() { return kCatalogue; }

std::span<const KeyFunction> KeyFunctions(KeyFunctionCategory category) {
  const auto [first, last] = std::ranges::equal_range(kCatalogue, category, {}, &KeyFunction::category);
  return {first, last};
}

const KeyFunction* FindKeyFunction(const KeyAction& action) {
  const auto row = std::ranges::find(kCatalogue, action, &KeyFunction::action);
  return row == kCatalogue.end() ? nullptr : &*row;
}

const KeyFunction* FindKeyFunction(std::string_view name) {
  const auto row =
      std::ranges::find_if(kCatalogue, [&](const KeyFunction& r) { return EqualIgnoringAsciiCase(r.name, name); });
  return row == kCatalogue.end() ? nullptr : &*row;
}

std::optional<KeyFunctionCategory> CategoryOf(const KeyAction& action) {
  if (const KeyFunction* row = FindKeyFunction(action)) return row->category;
  switch (action[0]) {
    case 0x00: return C::kNone;
    case 0x10: return C::kMouseButton;
    case 0x11: return C::kMouseSwing;
    case 0x12: return C::kMouseWheel;
    case 0x13: return C::kDpi;
    case 0x14: return C::kFireKey;
    case 0x20: return C::kKeyboardKey;
    case 0x30: return C::kMedia;
    case 0x40: return C::kSystem;
    case kMacroActionCategory:
    case kRepeatedMacroActionCategory: return C::kMacro;
    case 0x72: return C::kGun;
    case 0xB0: return C::kShortcut;  // no editor of its own
    case 0xE0: return C::kIqLayer;
    case 0xE1: return C::kIqLongPressLayer;
    default: return std::nullopt;
  }
}

KeyActionLabel LabelOf(const KeyAction& action) {
  if (IsMacroAction(action)) return {{}, MacroIndexOf(action)};
  if (const KeyFunction* row = FindKeyFunction(action)) return {{row->label_key}, std::nullopt};
  if (!IsKeyboardKeyAction(action)) return {{kNoFunctionLabel}, std::nullopt};
  if (action[1] == 0 && action[2] == 0) return {{kNoKeyLabel}, std::nullopt};
  // Modifiers and a key that no single row has: each of its names.
  KeyActionLabel label;
  for (std::size_t row = 0; row < kFirstOrdinaryKeyRow; ++row) {
    if (action[1] & kKeyCodeTable[row].action[1]) label.keys.push_back(kKeyCodeTable[row].name_key);
  }
  if (action[2] != 0) {
    if (const auto key = UsageLabel(action[2])) label.keys.push_back(*key);
  }
  if (label.keys.empty()) label.keys.push_back(kNoFunctionLabel);
  return label;
}

}  // namespace brontal
