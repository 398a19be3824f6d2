#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "profiles/data_folders.h"

// The primary screen's size in pixels, which the mouse's settings record
// carries. The desktop program stores it when it starts, so that brontalctl,
// which may run without a display, sends the same bytes.
namespace brontal {

struct ScreenSize {
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  bool operator==(const ScreenSize&) const = default;
};

// Zeros until the desktop program has stored one.
ScreenSize ReadScreenSize(const AppFolders& folders = AppFolders::Installed());
bool WriteScreenSize(ScreenSize size, const AppFolders& folders = AppFolders::Installed());

// "WIDTHxHEIGHT", each 1..65535; nothing for any other text.
std::optional<ScreenSize> ParseScreenSize(std::string_view text);

}  // namespace brontal
