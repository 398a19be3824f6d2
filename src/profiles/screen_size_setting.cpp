#include "profiles/screen_size_setting.h"

#include <charconv>
#include <string_view>

#include "profiles/user_value_store.h"

namespace brontal {
namespace {

constexpr std::string_view kWidthName = "ScreenWidth";
constexpr std::string_view kHeightName = "ScreenHeight";

std::optional<std::uint16_t> Dimension(std::string_view text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value == 0 || value > 0xFFFF) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

}  // namespace

ScreenSize ReadScreenSize(const AppFolders& folders) {
  const std::uint32_t width = ReadUserValue(kWidthName, folders).value_or(0);
  const std::uint32_t height = ReadUserValue(kHeightName, folders).value_or(0);
  if (width > 0xFFFF || height > 0xFFFF) return {};
  return {static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height)};
}

bool WriteScreenSize(ScreenSize size, const AppFolders& folders) {
  if (ReadScreenSize(folders) == size) return true;
  return WriteUserValue(kWidthName, size.width, folders) && WriteUserValue(kHeightName, size.height, folders);
}

std::optional<ScreenSize> ParseScreenSize(std::string_view text) {
  const std::size_t x = text.find('x');
  if (x == std::string_view::npos) return std::nullopt;
  const auto width = Dimension(text.substr(0, x));
  const auto height = Dimension(text.substr(x + 1));
  if (!width || !height) return std::nullopt;
  return ScreenSize{*width, *height};
}

}  // namespace brontal
