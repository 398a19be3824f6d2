#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "devices/key_action_tables.h"
#include "macros/macro_index.h"

// The ACTION of "assign KEY=ACTION": "default", six hexadecimal digits (the
// three bytes), a name of the key function catalogue, or a macro by its name:
// "macro:NAME" (play mode 0), "macro:NAME:mode=M" (play mode 0..3) or
// "macro:NAME:repeat=N" (played N times, 1..255). A macro's name may itself
// hold ':'; only a last ":mode=" or ":repeat=" is read as the option.
namespace brontal {

struct KeyActionWord {
  bool is_default = false;
  KeyAction action{};  // a macro's: b1 stands for the macro's index until it is known
  std::optional<std::string> macro_name;
};

// Nothing, with the reason, for a word of none of these forms.
std::optional<KeyActionWord> ParseKeyActionWord(std::string_view word, std::string& error);

// The macro word's action with its macro's index in `macros` (the name in any
// letter case); nothing, with the reason, when no macro has the name or its
// index does not fit a key action.
std::optional<KeyAction> MacroWordAction(const KeyActionWord& word, const MacroIndex& macros, std::string& error);

}  // namespace brontal
