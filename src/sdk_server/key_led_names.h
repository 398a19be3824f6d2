#pragma once

#include <cstddef>
#include <string>

namespace brontal::sdk {

// A keyboard LED's name as lighting programs know keys ("Key: A", "Key:
// Left Shift", "Key: Number Pad 1"): unique on every keyboard picture,
// though left and right modifiers, and the number pad and the main block,
// share cap labels.
std::string KeyLedName(std::size_t logical_key);

}  // namespace brontal::sdk
