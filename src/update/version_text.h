#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// Dotted decimal versions ("1.0.10") as the service and the program write them.
namespace brontal {

// The numbers between the dots; nullopt unless every part is a decimal
// number of 32 bits (no signs, blanks or empty parts).
std::optional<std::vector<std::uint32_t>> VersionParts(std::string_view text);

// Part by part, a missing part counting as 0, so "1.0.10" is older than
// "1.1.0" and "1.1" equals "1.1.0". nullopt when either is no version.
std::optional<std::strong_ordering> CompareVersionTexts(std::string_view a, std::string_view b);

}  // namespace brontal
