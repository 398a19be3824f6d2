#include "update/version_text.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace brontal {

std::optional<std::vector<std::uint32_t>> VersionParts(std::string_view text) {
  std::vector<std::uint32_t> parts;
  for (;;) {
    const std::size_t dot = text.find('.');
    const std::string_view part = text.substr(0, dot);
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), number, 10);
    if (part.empty() || error != std::errc() || end != part.data() + part.size()) return std::nullopt;
    parts.push_back(number);
    if (dot == std::string_view::npos) return parts;
    text.remove_prefix(dot + 1);
  }
}

std::optional<std::strong_ordering> CompareVersionTexts(std::string_view a, std::string_view b) {
  const auto left = VersionParts(a);
  const auto right = VersionParts(b);
  if (!left || !right) return std::nullopt;
  const std::size_t count = std::max(left->size(), right->size());
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t l = i < left->size() ? (*left)[i] : 0;
    const std::uint32_t r = i < right->size() ? (*right)[i] : 0;
    if (l != r) return l <=> r;
  }
  return std::strong_ordering::equal;
}

}  // namespace brontal
