#include "ui/windows/hidden_label_translation.h"

#include "ui/toolkit/label.h"

namespace brontal {

std::string TranslateThroughLabel(WindowImplBase& window, std::string_view id) {
  auto* label = dynamic_cast<CLabelUI*>(window.GetPaintManager().FindControl("text_test"));
  if (!label) return {};
  label->SetResourceText(true);
  label->SetText(std::string(id));
  return label->GetText();
}

void ShowSoftwareVersion(WindowImplBase& window, std::string_view version) {
  if (CControlUI* line = window.GetPaintManager().FindControl("software_ver_label"))
    line->SetText(TranslateThroughLabel(window, "software_rev_text") + std::string(version));
}

}  // namespace brontal
