#include "ui/controls/key_picture_labels.h"

#include "macros/key_function_catalogue.h"
#include "ui/controls/device_key_button_ui.h"

namespace brontal {

std::string KeyActionText(const KeyAction& action, const TranslateText& translate, const MacroNameAt& macro_name) {
  const KeyActionLabel label = LabelOf(action);
  if (label.macro_index) {
    std::string name = macro_name(*label.macro_index);
    // A macro the folder no longer has plays nothing.
    return name.empty() ? translate(kNoFunctionLabel) : name;
  }
  std::string text;
  for (const std::string_view key : label.keys) {
    if (!text.empty()) text += '+';
    text += translate(key);
  }
  return text;
}

void LabelKeyPicture(std::span<CControlUI* const> buttons, std::span<const KeyAssignment> keys,
                     const TranslateText& translate, const MacroNameAt& macro_name) {
  for (const KeyAssignment& key : keys) {
    CControlUI* button = key.key_index < buttons.size() ? buttons[key.key_index] : nullptr;
    if (!button) continue;
    std::string text = KeyActionText(key.assignment, translate, macro_name);
    const bool assigned = text != KeyActionText(key.default_action, translate, macro_name);
    button->SetText(std::move(text));
    if (auto* picture_key = dynamic_cast<CDeviceKeyButtonUI*>(button)) {
      picture_key->SetKeySetHidden(!assigned);
      picture_key->SetKeyUnsetHidden(true);  // the skin marks only the assigned keys
    }
  }
}

}  // namespace brontal
