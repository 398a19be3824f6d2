#include "ui/toolkit/label.h"

#include "ui/toolkit/attribute_values.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/resource_manager.h"
#include "ui/toolkit/toolkit.h"

namespace brontal {

std::string CLabelUI::GetText() const {
  std::string text = CControlUI::GetText();
  if (!resource_text_ || !GetManager()) return text;
  return GetManager()->GetToolkit().Resources().Translate(text);
}

void CLabelUI::SetResourceText(bool on) {
  if (on == resource_text_) return;
  resource_text_ = on;
  Invalidate();
}

bool CLabelUI::SetAttribute(std::string_view name, std::string_view value) {
  if (name != "resourcetext") return CControlUI::SetAttribute(name, value);
  const auto on = ParseBoolAttribute(value);
  if (on) SetResourceText(*on);
  return on.has_value();
}

}  // namespace brontal
