#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "devices/key_action_tables.h"
#include "profiles/profile_records.h"

namespace brontal {

class CControlUI;

// The text of a language identifier in the current language.
using TranslateText = std::function<std::string(std::string_view id)>;
// The name of the macro at a macro index; empty when there is none.
using MacroNameAt = std::function<std::string(std::uint8_t index)>;

// What a key of a device picture shows for an action: the translated display
// names of its catalogue row, or of its modifiers and key joined by "+", or
// the name of the macro it plays.
std::string KeyActionText(const KeyAction& action, const TranslateText& translate, const MacroNameAt& macro_name);

// Every key of `keys` whose button the picture has (buttons by key index,
// nullptr for a key it does not show) gets its action's text; a key button
// whose text differs from its default action's carries the assigned mark.
void LabelKeyPicture(std::span<CControlUI* const> buttons, std::span<const KeyAssignment> keys,
                     const TranslateText& translate, const MacroNameAt& macro_name);

}  // namespace brontal
