#pragma once

#include <algorithm>
#include <string_view>

namespace brontal {

// Letter case of ASCII only, the same whatever locale the process runs in;
// other bytes (UTF-8 among them) compare as they are.
inline char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

}  // namespace brontal
