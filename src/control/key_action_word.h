#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "devices/key_action_tables.h"
#include "macros/macro_index.h"
#include "profiles/profile_records.h"

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

// The entry of `key` in a key list a word assigns to, a short list grown
// first with the entries `factory` gives (the profile may predate keys).
KeyAssignment& FactoryGrownEntry(std::vector<KeyAssignment>& keys, std::size_t key, std::span<const KeyAction> factory);

// The actions the words of one command give keys; the device's macro index
// is read once, at the first macro word.
class KeyActionWords {
 public:
  explicit KeyActionWords(std::filesystem::path macro_folder) : folder_(std::move(macro_folder)) {}

  // The action a word that passed ParseKeyActionWord gives a key whose
  // default is `default_action`; nothing, with the reason, for a macro word
  // MacroWordAction refuses.
  std::optional<KeyAction> ActionOf(std::string_view word, const KeyAction& default_action, std::string& error);

 private:
  std::filesystem::path folder_;
  std::optional<MacroIndex> macros_;
};

}  // namespace brontal
