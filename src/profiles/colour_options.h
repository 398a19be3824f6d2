#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "profiles/data_folders.h"

// The colour picker's swatches, kept in "color_option_info.config" of the
// application folder with a factory copy in the default-data folder.
namespace brontal {

inline constexpr std::size_t kSwatchCount = 20;
inline constexpr std::string_view kColourFileName = "color_option_info.config";

struct CollectedSwatch {
  std::optional<std::uint32_t> colour;  // 0xAARRGGBB
  bool filled = false;                  // holds a colour the user collected
  bool operator==(const CollectedSwatch&) const = default;
};

struct ColourOptions {
  // nullopt: the swatch keeps the colour the skin gives it.
  std::array<std::optional<std::uint32_t>, kSwatchCount> fixed{};
  int fixed_selected = -1;  // -1: none stored
  std::array<CollectedSwatch, kSwatchCount> collected{};
  int collected_selected = -1;
  bool operator==(const ColourOptions&) const = default;
};

// Colours are stored as 8 upper-case hexadecimal digits of 0xAARRGGBB. Text
// that is not a hexadecimal number of at most 32 bits reads as no colour.
std::optional<std::uint32_t> ParseColourText(std::string_view text);
std::string FormatColourText(std::uint32_t argb);

// A first start (or an unreadable file) takes the factory copy and stores it
// for the user. Nothing usable anywhere gives no colours and no selections.
ColourOptions LoadColourOptions(const AppFolders& folders = AppFolders::Installed());
// Members of the file that the options do not carry are kept.
bool SaveColourOptions(const ColourOptions& options, const AppFolders& folders = AppFolders::Installed());

}  // namespace brontal
