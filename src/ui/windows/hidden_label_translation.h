#pragma once

#include <string>
#include <string_view>

#include "ui/toolkit/window.h"

namespace brontal {

// The translation of `id` in the current language, read back through the
// window's hidden resource-text label "text_test"; empty without that label.
std::string TranslateThroughLabel(WindowImplBase& window, std::string_view id);

// Shows the translated "software_rev_text" followed by `version` in the
// window's "software_ver_label".
void ShowSoftwareVersion(WindowImplBase& window, std::string_view version);

}  // namespace brontal
