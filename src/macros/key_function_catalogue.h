#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "devices/key_action_tables.h"

// Every function a key or mouse button can be given, as three action bytes,
// grouped as the key panel offers them. The fixed functions are rows of a
// category; the functions that carry numbers (swing, wheel, fire key, macro)
// are categories without rows, built by whoever edits the numbers.
//
// Each row has a language key (its label on the key picture) and a command
// line name: the language key in lower snake case, with a trailing "_text",
// "_txt" or "_key" dropped, symbols spelled out ("keyboard_key_minus"), and
// three words made plain ("wed_" -> "web_", "custem_" -> "custom_",
// "xiegang" -> "backslash"). Names are part of brontalctl's interface: never
// rename one.
namespace brontal {

// In the order of the panel's editor kinds.
enum class KeyFunctionCategory : std::uint8_t {
  kNone,
  kMouseButton,
  kMouseSwing,
  kMouseWheel,
  kDpi,
  kFireKey,
  kKeyboardKey,
  kMedia,
  kSystem,
  kMacro,
  kGun,
  kShortcut,
  kSpecial,
  kLighting,
  kIqLayer,
  kIqLongPressLayer,
};

struct KeyFunctionCategoryInfo {
  KeyFunctionCategory category;
  std::string_view name;  // "mouse_button", ...
  int editor_kind;        // the stored data of the panel's function combo item
  bool on_keyboards;      // DPI and gun keys are the mouse's alone
};

struct KeyFunction {
  KeyFunctionCategory category;
  KeyAction action;
  std::string_view label_key;
  std::string_view name;
};

// Labels of actions that no row names.
inline constexpr std::string_view kNoKeyLabel = "close_text";  // a keyboard key action of two zero bytes
inline constexpr std::string_view kNoFunctionLabel = "关闭";   // an action no table describes

// A play mode is b2 of a macro action; the repeated macro's b2 is its count.
inline constexpr std::uint8_t kMacroPlayModeCount = 4;

std::span<const KeyFunctionCategoryInfo> KeyFunctionCategories();
const KeyFunctionCategoryInfo& CategoryInfo(KeyFunctionCategory category);

// Every row, category by category, each action once.
std::span<const KeyFunction> KeyFunctions();
// One category's rows in the order of its combo box; empty for the
// categories that carry numbers.
std::span<const KeyFunction> KeyFunctions(KeyFunctionCategory category);

// The row with exactly these three bytes.
const KeyFunction* FindKeyFunction(const KeyAction& action);
// The row of a command line name, in any letter case.
const KeyFunction* FindKeyFunction(std::string_view name);

// The category the first byte names; a special or lighting function (0xA0),
// a macro key (0xD0) and an Fn layer switch (0xE2) only with a row. Nothing
// for a byte no category has.
std::optional<KeyFunctionCategory> CategoryOf(const KeyAction& action);

// What a key shows for its action: the language keys, each translated and
// joined with "+" (a keyboard key with modifiers has several), or for a macro
// action the macro whose name is the label.
struct KeyActionLabel {
  std::vector<std::string_view> keys;
  std::optional<std::uint8_t> macro_index;
};
KeyActionLabel LabelOf(const KeyAction& action);

}  // namespace brontal
