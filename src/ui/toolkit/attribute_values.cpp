#include "ui/toolkit/attribute_values.h"

#include <array>
#include <charconv>

namespace brontal {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

template <std::size_t N>
std::optional<std::array<int, N>> ParseIntList(std::string_view value) {
  std::array<int, N> numbers{};
  for (std::size_t i = 0; i < N; ++i) {
    const auto comma = value.find(',');
    if ((comma == std::string_view::npos) != (i == N - 1)) return std::nullopt;
    const auto number = ParseIntAttribute(value.substr(0, comma));
    if (!number) return std::nullopt;
    numbers[i] = *number;
    if (comma != std::string_view::npos) value.remove_prefix(comma + 1);
  }
  return numbers;
}

}  // namespace

std::optional<int> ParseIntAttribute(std::string_view value) {
  value = Trim(value);
  int number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error != std::errc() || end != value.data() + value.size() || value.empty()) return std::nullopt;
  return number;
}

std::optional<bool> ParseBoolAttribute(std::string_view value) {
  value = Trim(value);
  if (value == "true") return true;
  if (value == "false") return false;
  return std::nullopt;
}

std::optional<std::uint32_t> ParseColorAttribute(std::string_view value) {
  value = Trim(value);
  if (value.starts_with('#')) {
    value.remove_prefix(1);
  } else if (value.starts_with("0x") || value.starts_with("0X")) {
    value.remove_prefix(2);
  }
  if (value.size() != 6 && value.size() != 8) return std::nullopt;
  std::uint32_t color = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), color, 16);
  if (error != std::errc() || end != value.data() + value.size()) return std::nullopt;
  // Six digits give an opaque colour.
  return value.size() == 6 ? color | 0xFF000000u : color;
}

std::optional<Rect> ParseRectAttribute(std::string_view value) {
  const auto n = ParseIntList<4>(value);
  if (!n) return std::nullopt;
  return Rect{(*n)[0], (*n)[1], (*n)[2], (*n)[3]};
}

std::optional<Size> ParseSizeAttribute(std::string_view value) {
  const auto n = ParseIntList<2>(value);
  if (!n) return std::nullopt;
  return Size{(*n)[0], (*n)[1]};
}

}  // namespace brontal
