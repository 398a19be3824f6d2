#pragma once

#include <string_view>

namespace brontal {

// The udev rules file shipped in packaging/, as built into the program.
std::string_view UdevRulesText();

// The opt-in rules that also open the supported keyboards' and mice's input
// events to the logged-in user, for macro recording outside X11.
std::string_view InputUdevRulesText();

}  // namespace brontal
