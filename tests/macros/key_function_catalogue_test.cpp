// The key function catalogue: its tables row by row, the keyboard keys it
// takes from the key code table, names, categories and labels.
#include "macros/key_function_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "macros/key_code_table.h"

namespace brontal {
namespace {

struct TableRow {
  std::string_view category;
  KeyAction action;
  std::string_view label;
};

// Every row of the fixed tables, typed from the documentation of the key
// functions, in each table's own order.
constexpr TableRow kDocumentedRows[] = {
    {"none", {0x00, 0x00, 0x00}, "close_text"},

    {"mouse_button", {0x10, 0x01, 0x00}, "mouse_key_left"},
    {"mouse_button", {0x10, 0x04, 0x00}, "mouse_key_middle"},
    {"mouse_button", {0x10, 0x02, 0x00}, "mouse_key_right"},
    {"mouse_button", {0x10, 0x10, 0x00}, "mouse_key_forward"},
    {"mouse_button", {0x10, 0x08, 0x00}, "mouse_key_back"},

    {"dpi", {0x13, 0x01, 0x00}, "mouse_key_DPI_add"},
    {"dpi", {0x13, 0x02, 0x00}, "mouse_key_DPI_sub"},
    {"dpi", {0x13, 0x03, 0x00}, "mouse_key_DPI_loop"},

    {"media", {0x30, 0x83, 0x01}, "media_text"},
    {"media", {0x30, 0xCD, 0x00}, "media_play"},
    {"media", {0x30, 0xB7, 0x00}, "media_stop"},
    {"media", {0x30, 0xB6, 0x00}, "media_prev"},
    {"media", {0x30, 0xB5, 0x00}, "media_next"},
    {"media", {0x30, 0xEA, 0x00}, "media_vol_sub"},
    {"media", {0x30, 0xE9, 0x00}, "media_vol_add"},
    {"media", {0x30, 0xE2, 0x00}, "media_mute"},
    {"media", {0x30, 0x23, 0x02}, "web_text"},
    {"media", {0x30, 0x27, 0x02}, "web_refresh"},
    {"media", {0x30, 0x26, 0x02}, "wed_stop"},
    {"media", {0x30, 0x24, 0x02}, "wed_back"},
    {"media", {0x30, 0x25, 0x02}, "wed_forward"},
    {"media", {0x30, 0x2A, 0x02}, "wed_favorite"},
    {"media", {0x30, 0x21, 0x02}, "web_search"},
    {"media", {0x30, 0x94, 0x01}, "media_mypc"},
    {"media", {0x30, 0x92, 0x01}, "media_calc"},
    {"media", {0x30, 0x8A, 0x01}, "media_mail"},

    {"system", {0x40, 0x01, 0x00}, "system_power"},
    {"system", {0x40, 0x02, 0x00}, "system_sleep"},
    {"system", {0x40, 0x04, 0x00}, "system_wake_up"},

    {"gun", {0x72, 0x00, 0x00}, "gun_1_txt"},
    {"gun", {0x72, 0x01, 0x00}, "gun_2_txt"},
    {"gun", {0x72, 0x02, 0x00}, "gun_3_txt"},
    {"gun", {0x72, 0x03, 0x00}, "gun_4_txt"},

    {"shortcut", {0x20, 0x10, 0x12}, "custem_open"},
    {"shortcut", {0x20, 0x10, 0x11}, "custem_new"},
    {"shortcut", {0x20, 0x10, 0x1D}, "custem_undo"},
    {"shortcut", {0x20, 0x10, 0x16}, "custem_save"},
    {"shortcut", {0x20, 0x10, 0x06}, "custem_copy"},
    {"shortcut", {0x20, 0x10, 0x1B}, "custem_cut"},
    {"shortcut", {0x20, 0x10, 0x19}, "custem_paste"},
    {"shortcut", {0x20, 0x10, 0x09}, "custem_find"},
    {"shortcut", {0x20, 0x10, 0x04}, "custem_select_all"},
    {"shortcut", {0x20, 0x10, 0x2D}, "custem_narrow"},
    {"shortcut", {0x20, 0x10, 0x2E}, "custem_magnify"},

    {"special", {0xA0, 0x1A, 0x00}, "reset_key"},
    {"special", {0xA0, 0x1C, 0x00}, "keyboard_lock_key"},
    {"special", {0xA0, 0x33, 0x00}, "bluetooth_mode1_key"},
    {"special", {0xA0, 0x34, 0x00}, "bluetooth_mode2_key"},
    {"special", {0xA0, 0x35, 0x00}, "bluetooth_mode3_key"},
    {"special", {0xA0, 0x36, 0x00}, "24g_switch_key"},
    {"special", {0xA0, 0x37, 0x00}, "usb_switch_key"},
    {"special", {0xA0, 0x40, 0x00}, "mac_Windows_switch_key"},
    {"special", {0xA0, 0x3F, 0x00}, "power_viewing_key"},
    {"special", {0xA0, 0x04, 0x00}, "windows_lock_key"},
    {"special", {0xA0, 0x01, 0x00}, "keyboard_key_FN"},

    {"lighting", {0xA0, 0x38, 0x00}, "light_off_text"},
    {"lighting", {0xA0, 0x05, 0x00}, "light_brightness_add_key"},
    {"lighting", {0xA0, 0x06, 0x00}, "light_brightness_sub_key"},
    {"lighting", {0xA0, 0x08, 0x00}, "light_speed_add_key"},
    {"lighting", {0xA0, 0x07, 0x00}, "light_speed_sub_key"},
    {"lighting", {0xA0, 0x39, 0x00}, "light_loop_key"},
    {"lighting", {0xA0, 0x19, 0x00}, "light_FX_key"},
    {"lighting", {0xA0, 0x3A, 0x00}, "light_color_loop_key"},
    {"lighting", {0xA0, 0x0C, 0x00}, "light_breath_key"},
    {"lighting", {0xA0, 0x0F, 0x00}, "light_static_key"},

    {"iq_layer", {0xE0, 0x00, 0x01}, "IQLayer0_text"},
    {"iq_layer", {0xE0, 0x00, 0x02}, "IQLayer1_text"},
    {"iq_layer", {0xE0, 0x00, 0x03}, "IQLayer2_text"},
    {"iq_layer", {0xE0, 0x00, 0x04}, "IQLayer3_text"},
    {"iq_layer", {0xE2, 0x00, 0x00}, "IQLayerFN_text"},

    {"iq_layer_long_press", {0xE1, 0x00, 0x01}, "IQLongLayer0_text"},
    {"iq_layer_long_press", {0xE1, 0x00, 0x02}, "IQLongLayer1_text"},
    {"iq_layer_long_press", {0xE1, 0x00, 0x03}, "IQLongLayer2_text"},
    {"iq_layer_long_press", {0xE1, 0x00, 0x04}, "IQLongLayer3_text"},
    {"iq_layer_long_press", {0xE2, 0x00, 0x01}, "IQLongLayerFN_text"},
};

std::string Hex(const KeyAction& action) {
  char text[12];
  std::snprintf(text, sizeof text, "%02X %02X %02X", action[0], action[1], action[2]);
  return text;
}

TEST(KeyFunctionCatalogue, TheFixedTablesHoldTheDocumentedRowsInOrder) {
  std::map<std::string_view, std::vector<TableRow>> documented;
  for (const TableRow& row : kDocumentedRows) documented[row.category].push_back(row);
  std::size_t compared = 0;
  for (const KeyFunctionCategoryInfo& category : KeyFunctionCategories()) {
    if (category.category == KeyFunctionCategory::kKeyboardKey) continue;
    SCOPED_TRACE(category.name);
    const std::vector<TableRow>& rows = documented[category.name];
    compared += rows.size();
    const std::span<const KeyFunction> functions = KeyFunctions(category.category);
    ASSERT_EQ(functions.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(Hex(functions[i].action), Hex(rows[i].action)) << "row " << i;
      EXPECT_EQ(functions[i].label_key, rows[i].label) << "row " << i;
      EXPECT_EQ(functions[i].category, category.category) << "row " << i;
    }
  }
  EXPECT_EQ(compared, std::size(kDocumentedRows));
}

TEST(KeyFunctionCatalogue, CategoriesCarryTheEditorKindsAndTheMouseOnlyOnes) {
  const struct {
    KeyFunctionCategory category;
    std::string_view name;
    int kind;
    bool on_keyboards;
  } expected[] = {
      {KeyFunctionCategory::kNone, "none", 0, true},
      {KeyFunctionCategory::kMouseButton, "mouse_button", 1, true},
      {KeyFunctionCategory::kMouseSwing, "mouse_swing", 2, true},
      {KeyFunctionCategory::kMouseWheel, "mouse_wheel", 3, true},
      {KeyFunctionCategory::kDpi, "dpi", 4, false},
      {KeyFunctionCategory::kFireKey, "fire_key", 5, true},
      {KeyFunctionCategory::kKeyboardKey, "keyboard_key", 6, true},
      {KeyFunctionCategory::kMedia, "media", 7, true},
      {KeyFunctionCategory::kSystem, "system", 8, true},
      {KeyFunctionCategory::kMacro, "macro", 9, true},
      {KeyFunctionCategory::kGun, "gun", 10, false},
      {KeyFunctionCategory::kShortcut, "shortcut", 11, true},
      {KeyFunctionCategory::kSpecial, "special", 12, true},
      {KeyFunctionCategory::kLighting, "lighting", 13, true},
      {KeyFunctionCategory::kIqLayer, "iq_layer", 14, true},
      {KeyFunctionCategory::kIqLongPressLayer, "iq_layer_long_press", 14, true},
  };
  ASSERT_EQ(KeyFunctionCategories().size(), std::size(expected));
  for (const auto& e : expected) {
    const KeyFunctionCategoryInfo& info = CategoryInfo(e.category);
    EXPECT_EQ(info.category, e.category);
    EXPECT_EQ(info.name, e.name);
    EXPECT_EQ(info.editor_kind, e.kind) << e.name;
    EXPECT_EQ(info.on_keyboards, e.on_keyboards) << e.name;
  }
  // The functions that carry numbers have no rows.
  for (KeyFunctionCategory c : {KeyFunctionCategory::kMouseSwing, KeyFunctionCategory::kMouseWheel,
                                KeyFunctionCategory::kFireKey, KeyFunctionCategory::kMacro})
    EXPECT_TRUE(KeyFunctions(c).empty()) << CategoryInfo(c).name;
}

// The keyboard keys are the key code table's rows that no other table lists;
// every key code row is in the catalogue once.
TEST(KeyFunctionCatalogue, KeyboardKeysAreTheKeyCodeRowsNoOtherTableLists) {
  std::vector<const KeyCodeRow*> expected;
  for (const KeyCodeRow& row : kKeyCodeTable) {
    const auto listed = std::ranges::count(KeyFunctions(), row.action, &KeyFunction::action);
    EXPECT_EQ(listed, 1) << row.name_key;
    const KeyFunction* function = FindKeyFunction(row.action);
    if (function && function->category == KeyFunctionCategory::kKeyboardKey) expected.push_back(&row);
  }
  const std::span<const KeyFunction> keys = KeyFunctions(KeyFunctionCategory::kKeyboardKey);
  ASSERT_EQ(keys.size(), expected.size());
  EXPECT_EQ(keys.size(), 142u - 18 - 3 - 1);  // the media rows, the system rows and Fn are listed elsewhere
  for (std::size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(keys[i].action, expected[i]->action) << i;
    EXPECT_EQ(keys[i].label_key, expected[i]->name_key) << i;
  }
}

TEST(KeyFunctionCatalogue, EveryActionAndNameOnceAndEachFindsItsRow) {
  std::set<KeyAction> actions;
  std::set<std::string> names;
  for (const KeyFunction& row : KeyFunctions()) {
    SCOPED_TRACE(std::string(row.name));
    EXPECT_TRUE(actions.insert(row.action).second);
    EXPECT_TRUE(names.insert(std::string(row.name)).second);
    EXPECT_TRUE(std::ranges::all_of(row.name, [](char c) { return std::islower(c) || std::isdigit(c) || c == '_'; }));
    // Neither a word of its own on the command line nor six hexadecimal digits.
    EXPECT_NE(row.name, "default");
    EXPECT_FALSE(row.name.size() == 6 && std::ranges::all_of(row.name, [](char c) { return std::isxdigit(c); }));
    EXPECT_EQ(FindKeyFunction(row.action), &row);
    EXPECT_EQ(FindKeyFunction(row.name), &row);
    std::string upper(row.name);
    std::ranges::transform(upper, upper.begin(), [](char c) { return static_cast<char>(std::toupper(c)); });
    EXPECT_EQ(FindKeyFunction(upper), &row);
  }
  // Categories follow one another, each with its rows together.
  EXPECT_TRUE(std::ranges::is_sorted(KeyFunctions(), {}, &KeyFunction::category));
}

// Names are the interface of scripts: these stay as they are.
TEST(KeyFunctionCatalogue, NamesSpellOutSymbolsAndCorrectTheLabelsWords) {
  const struct {
    std::string_view name;
    KeyAction action;
  } cases[] = {
      {"none", {0x00, 0x00, 0x00}},
      {"media_play", {0x30, 0xCD, 0x00}},
      {"media", {0x30, 0x83, 0x01}},
      {"web", {0x30, 0x23, 0x02}},
      {"web_stop", {0x30, 0x26, 0x02}},
      {"mouse_key_back", {0x10, 0x08, 0x00}},
      {"mouse_key_dpi_loop", {0x13, 0x03, 0x00}},
      {"custom_save", {0x20, 0x10, 0x16}},
      {"system_wake_up", {0x40, 0x04, 0x00}},
      {"gun_1", {0x72, 0x00, 0x00}},
      {"24g_switch", {0xA0, 0x36, 0x00}},
      {"keyboard_key_fn", {0xA0, 0x01, 0x00}},
      {"light_fx", {0xA0, 0x19, 0x00}},
      {"iq_layer_0", {0xE0, 0x00, 0x01}},
      {"iq_long_layer_fn", {0xE2, 0x00, 0x01}},
      {"keyboard_key_rshift", {0x20, 0x20, 0x00}},
      {"keyboard_key_a", {0x20, 0x00, 0x04}},
      {"keyboard_key_0", {0x20, 0x00, 0x27}},
      {"keyboard_key_backslash", {0x20, 0x00, 0x31}},
      {"keyboard_key_comma", {0x20, 0x00, 0x36}},
      {"keyboard_key_grave", {0x20, 0x00, 0x35}},
      {"keyboard_key_num_asterisk", {0x20, 0x00, 0x55}},
      {"keyboard_key_num_enter", {0x20, 0x00, 0x58}},
      {"keyboard_key_k42", {0x20, 0x00, 0x32}},
      {"keyboard_key_m5", {0xD0, 0xA2, 0x05}},
      {"keyboard_key_gm", {0xA0, 0x1B, 0x00}},
  };
  for (const auto& c : cases) {
    const KeyFunction* row = FindKeyFunction(c.name);
    ASSERT_NE(row, nullptr) << c.name;
    EXPECT_EQ(Hex(row->action), Hex(c.action)) << c.name;
  }
  for (std::string_view unknown : {"", "media_play_", "wed_stop", "keyboard_key_-", "macro:x", "200004"})
    EXPECT_EQ(FindKeyFunction(unknown), nullptr) << unknown;
}

TEST(KeyFunctionCatalogue, CategoryOfAnActionFollowsItsFirstByte) {
  using C = KeyFunctionCategory;
  const struct {
    KeyAction action;
    std::optional<KeyFunctionCategory> category;
  } cases[] = {
      {{0x00, 0x00, 0x00}, C::kNone},
      {{0x10, 0x20, 0x00}, C::kMouseButton},  // no row, still a button
      {{0x11, 0x35, 0x83}, C::kMouseSwing},
      {{0x12, 0x35, 0xFD}, C::kMouseWheel},
      {{0x13, 0x09, 0x00}, C::kDpi},
      {{0x14, 0x78, 0x02}, C::kFireKey},
      {{0x20, 0x03, 0x04}, C::kKeyboardKey},
      {{0x20, 0x10, 0x16}, C::kShortcut},
      {{0x20, 0x10, 0x05}, C::kKeyboardKey},  // right Ctrl+B is no shortcut row
      {{0x30, 0xCD, 0x00}, C::kMedia},
      {{0x40, 0x04, 0x00}, C::kSystem},
      {{0x70, 0x03, 0x01}, C::kMacro},
      {{0x71, 0x00, 0x05}, C::kMacro},
      {{0x72, 0x02, 0x00}, C::kGun},
      {{0xB0, 0x01, 0x02}, C::kShortcut},
      {{0xA0, 0x1A, 0x00}, C::kSpecial},
      {{0xA0, 0x0F, 0x00}, C::kLighting},
      {{0xA0, 0x1B, 0x00}, C::kKeyboardKey},  // GM
      {{0xA0, 0x02, 0x00}, std::nullopt},     // neither special nor lighting
      {{0xD0, 0xA2, 0x01}, C::kKeyboardKey},  // M1
      {{0xD0, 0xA2, 0x06}, std::nullopt},
      {{0xE0, 0x00, 0x02}, C::kIqLayer},
      {{0xE1, 0x00, 0x04}, C::kIqLongPressLayer},
      {{0xE2, 0x00, 0x00}, C::kIqLayer},
      {{0xE2, 0x00, 0x01}, C::kIqLongPressLayer},
      {{0xE2, 0x00, 0x02}, std::nullopt},
      {{0x16, 0x90, 0x01}, std::nullopt},  // a mouse default of a category without an editor
  };
  for (const auto& c : cases) EXPECT_EQ(CategoryOf(c.action), c.category) << Hex(c.action);
}

TEST(KeyFunctionCatalogue, LabelsComeFromTheCategorysTableThenFromTheKeysParts) {
  using Keys = std::vector<std::string_view>;
  const struct {
    KeyAction action;
    Keys keys;
    std::optional<std::uint8_t> macro;
  } cases[] = {
      {{0x20, 0x10, 0x16}, {"custem_save"}, {}},  // the shortcut, not Ctrl+S
      {{0x30, 0xCD, 0x00}, {"media_play"}, {}},   // the media table's name, not the key code row's
      {{0x40, 0x01, 0x00}, {"system_power"}, {}},
      {{0xA0, 0x01, 0x00}, {"keyboard_key_FN"}, {}},
      {{0xA0, 0x1B, 0x00}, {"keyboard_key_GM"}, {}},
      {{0x20, 0x40, 0x00}, {"keyboard_key_RAlt"}, {}},
      {{0x00, 0x00, 0x04}, {"keyboard_key_A"}, {}},  // category 0 names keys as 0x20 does
      {{0x20, 0x03, 0x04}, {"keyboard_key_LCtrl", "keyboard_key_LShift", "keyboard_key_A"}, {}},
      {{0x20, 0x10, 0x05}, {"keyboard_key_RCtrl", "keyboard_key_B"}, {}},
      {{0x20, 0x01, 0xFF}, {"keyboard_key_LCtrl"}, {}},  // a usage without a row adds nothing
      {{0x20, 0x00, 0xFF}, {"关闭"}, {}},
      {{0x20, 0x00, 0x00}, {"close_text"}, {}},
      {{0x00, 0x00, 0x00}, {"close_text"}, {}},
      {{0x11, 0x35, 0x83}, {"关闭"}, {}},  // no table for swing
      {{0xA0, 0x02, 0x00}, {"关闭"}, {}},
      {{0x70, 0x03, 0x01}, {}, 3},
      {{0x71, 0x00, 0x05}, {}, 0},
  };
  for (const auto& c : cases) {
    const KeyActionLabel label = LabelOf(c.action);
    EXPECT_EQ(label.keys, c.keys) << Hex(c.action);
    EXPECT_EQ(label.macro_index, c.macro) << Hex(c.action);
  }
}

}  // namespace
}  // namespace brontal
