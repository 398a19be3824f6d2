#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

namespace brontal {

// The whole text as an unsigned 32-bit number in the base; nullopt for empty
// text, signs, other characters or a value past 32 bits.
inline std::optional<std::uint32_t> ParseUnsigned32(std::string_view text, int base) {
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace brontal
