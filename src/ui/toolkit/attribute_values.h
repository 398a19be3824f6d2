#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "ui/toolkit/geometry.h"

namespace brontal {

// Parsers for layout attribute values; each gives nothing for a malformed value.
std::optional<int> ParseIntAttribute(std::string_view value);
std::optional<bool> ParseBoolAttribute(std::string_view value);         // "true" / "false"
std::optional<std::uint32_t> ParseColorAttribute(std::string_view value);  // ARGB: "#FF0080C0", "0xFF0080C0" or "FF0080C0"
std::optional<Rect> ParseRectAttribute(std::string_view value);         // "left,top,right,bottom"
std::optional<Size> ParseSizeAttribute(std::string_view value);         // "width,height"

}  // namespace brontal
