#pragma once

#include <string_view>

namespace brontal {

// The udev rules file shipped in packaging/, as built into the program.
std::string_view UdevRulesText();

}  // namespace brontal
