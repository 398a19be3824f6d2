#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace brontal {

// Four lower-case hexadecimal digits, as USB ids and HID usages are written.
inline std::string Hex4(std::uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04x", value);
  return text;
}

// "vvvv:pppp", the usual form of a vendor and product id pair.
inline std::string HexPair(std::uint16_t first, std::uint16_t second) { return Hex4(first) + ':' + Hex4(second); }

}  // namespace brontal
