#include "control/key_action_word.h"

#include <limits>

#include "control/command_line.h"
#include "macros/key_function_catalogue.h"
#include "macros/macro_key_action.h"

namespace brontal {
namespace {

constexpr std::string_view kMacroPrefix = "macro:";
constexpr std::string_view kModeOption = "mode=";
constexpr std::string_view kRepeatOption = "repeat=";
constexpr long kMaxRepeat = std::numeric_limits<std::uint8_t>::max();

std::optional<KeyAction> ParseHexAction(std::string_view text) {
  if (text.size() != 6) return std::nullopt;
  const auto value = ParseNumber(text, 0, 0xFFFFFF, 16);
  if (!value) return std::nullopt;
  return KeyAction{static_cast<std::uint8_t>(*value >> 16), static_cast<std::uint8_t>(*value >> 8),
                   static_cast<std::uint8_t>(*value)};
}

// The option after the name's last ':', when it is one.
std::optional<std::string_view> TrailingOption(std::string_view text, std::string_view& name) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::string_view option = text.substr(colon + 1);
  if (!option.starts_with(kModeOption) && !option.starts_with(kRepeatOption)) return std::nullopt;
  name = text.substr(0, colon);
  return option;
}

std::optional<KeyActionWord> ParseMacroWord(std::string_view text, std::string& error) {
  std::string_view name = text;
  KeyActionWord word;
  word.action = {kMacroActionCategory, 0, 0};
  if (const auto option = TrailingOption(text, name)) {
    std::string_view rest = name;
    if (TrailingOption(name, rest)) {
      error = "a macro takes one of :mode=M and :repeat=N";
      return std::nullopt;
    }
    if (option->starts_with(kModeOption)) {
      const auto mode = ParseNumber(option->substr(kModeOption.size()), 0, kMacroPlayModeCount - 1);
      if (!mode) {
        error = "a macro's play mode is 0.." + std::to_string(kMacroPlayModeCount - 1) + ", not '" +
                std::string(option->substr(kModeOption.size())) + "'";
        return std::nullopt;
      }
      word.action[2] = static_cast<std::uint8_t>(*mode);
    } else {
      const auto count = ParseNumber(option->substr(kRepeatOption.size()), 1, kMaxRepeat);
      if (!count) {
        error = "a macro repeats 1.." + std::to_string(kMaxRepeat) + " times, not '" +
                std::string(option->substr(kRepeatOption.size())) + "'";
        return std::nullopt;
      }
      word.action = {kRepeatedMacroActionCategory, 0, static_cast<std::uint8_t>(*count)};
    }
  }
  if (name.empty()) {
    error = "which macro? (macro:NAME)";
    return std::nullopt;
  }
  word.macro_name = std::string(name);
  return word;
}

}  // namespace

std::optional<KeyActionWord> ParseKeyActionWord(std::string_view word, std::string& error) {
  KeyActionWord parsed;
  if (word == "default") {
    parsed.is_default = true;
    return parsed;
  }
  if (word.starts_with(kMacroPrefix)) return ParseMacroWord(word.substr(kMacroPrefix.size()), error);
  const KeyFunction* function = FindKeyFunction(word);
  if (const auto action = function ? function->action : ParseHexAction(word)) {
    parsed.action = *action;
    return parsed;
  }
  error = "'" + std::string(word) +
          "' is not an action (a name of 'brontalctl actions', macro:NAME[:mode=M|:repeat=N], six hexadecimal "
          "digits, or default)";
  return std::nullopt;
}

std::optional<KeyAction> MacroWordAction(const KeyActionWord& word, const MacroIndex& macros, std::string& error) {
  const std::string& name = *word.macro_name;
  const std::optional<std::size_t> found = macros.Find(name);
  if (!found) {
    error = "no macro is named '" + name + "'";
    return std::nullopt;
  }
  if (*found > std::numeric_limits<std::uint8_t>::max()) {
    error = "macro '" + name + "' is number " + std::to_string(*found) + ": a key holds macros 0..255 only";
    return std::nullopt;
  }
  KeyAction action = word.action;
  action[1] = static_cast<std::uint8_t>(*found);
  return action;
}

KeyAssignment& FactoryGrownEntry(std::vector<KeyAssignment>& keys, std::size_t key,
                                 std::span<const KeyAction> factory) {
  while (keys.size() <= key) {
    const auto index = static_cast<std::uint16_t>(keys.size());
    keys.push_back({index, factory[index], 0, index, factory[index], 0});
  }
  return keys[key];
}

std::optional<KeyAction> KeyActionWords::ActionOf(std::string_view text, const KeyAction& default_action,
                                                  std::string& error) {
  const std::optional<KeyActionWord> word = ParseKeyActionWord(text, error);
  if (!word) return std::nullopt;
  if (word->is_default) return default_action;
  if (!word->macro_name) return word->action;
  if (!macros_) macros_ = MacroIndex::Read(folder_);
  return MacroWordAction(*word, *macros_, error);
}

}  // namespace brontal
