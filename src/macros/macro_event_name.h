#pragma once

#include <string_view>

#include "macros/macro_event.h"

namespace brontal {

// The language key that names the event's key, button or movement direction
// in event lists; empty when no key code or mouse action row matches.
std::string_view MacroEventNameKey(const MacroEvent& event);

}  // namespace brontal
